// What one Enter costs against the registry reads it makes. Each pair is
// timed interleaved, block by block, so that a slower stretch of the machine
// falls on both sides alike: the settings read one key open per setting (as
// each rule once read its own) against one open for all four; the rules with
// that one-pass read against the read alone; and Enter through a real box,
// with text the rules leave alone and with text they rewrite.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/rewrite.h"
#include "edit_box.h"
#include "settings/settings.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of `first` and of `second`, run in alternating blocks
// of `block` calls; the best of five passes of `blocks` blocks each.
template <typename F, typename G>
void Interleaved(int blocks, int block, F&& first, G&& second, double* firstUs, double* secondUs) {
  *firstUs = *secondUs = 1e30;
  for (int pass = 0; pass < 5; ++pass) {
    double a = 0, b = 0;
    for (int i = 0; i < blocks; ++i) {
      double start = Seconds();
      for (int k = 0; k < block; ++k) first();
      double middle = Seconds();
      for (int k = 0; k < block; ++k) second();
      b += Seconds() - middle;
      a += middle - start;
    }
    const double calls = static_cast<double>(blocks) * block;
    if (a * 1e6 / calls < *firstUs) *firstUs = a * 1e6 / calls;
    if (b * 1e6 / calls < *secondUs) *secondUs = b * 1e6 / calls;
  }
}

}  // namespace

int main() {
  using namespace quillet;
  WriteSetting(kSearchMaskName, "http://www.bing.com/search?q=%s");
  const char typed[] = "www.example.com";  // read by every rule, changed by none
  char text[kTypedTextSize];
  RuleSettings settings;

  double perSetting = 0, onePass = 0;
  Interleaved(
      100, 20,
      [&] {
        char mask[1024];
        volatile int32_t on = ReadIntSetting(kSpellingCyrillicName, 1);
        ReadSetting(kSearchMaskName, mask, sizeof mask, "");
        on = ReadIntSetting(kSpellingWwName, 1);
        on = ReadIntSetting(kSpellingWwwwName, 1);
        (void)on;
      },
      [&] { ReadRuleSettings(&settings); }, &perSetting, &onePass);
  double enter = 0, reads = 0;
  Interleaved(
      100, 20,
      [&] {
        RuleSettings fresh;
        ReadRuleSettings(&fresh);
        std::memcpy(text, typed, sizeof typed);
        RewriteTypedText(text, fresh);
      },
      [&] {
        RuleSettings fresh;
        ReadRuleSettings(&fresh);
      },
      &enter, &reads);
  test::SubclassedEditBox box(false);
  double unchanged = 0, rewritten = 0;
  Interleaved(
      25, 20,
      [&] {
        SetWindowTextA(box.window(), typed);
        box.PressEnter();
      },
      [&] {
        SetWindowTextA(box.window(), "cats and dogs");
        box.PressEnter();
      },
      &unchanged, &rewritten);
  std::printf("Enter's reads, one open per setting: %8.2f us\n", perSetting);
  std::printf("Enter's reads, one open for all:     %8.2f us\n", onePass);
  std::printf("Enter: reads and rules:              %8.2f us\n", enter);
  std::printf("Enter over its reads alone:          %8.3f x\n", enter / reads);
  std::printf("Enter through a real box, unchanged: %8.2f us (set text + key)\n", unchanged);
  std::printf("Enter through a real box, rewritten: %8.2f us (set text + key + text written back)\n", rewritten);
  return 0;
}
