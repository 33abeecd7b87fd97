// What one Enter costs against the registry reads it has to make: the rule
// chain (with its reads), the same reads alone, and Enter through a real box.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "edit_box.h"
#include "core/rewrite.h"
#include "settings/settings.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename F>
double MicrosecondsPerCall(int rounds, F&& body) {
  double best = 1e30;
  for (int r = 0; r < 5; ++r) {
    double start = Seconds();
    for (int i = 0; i < rounds; ++i) body();
    double each = (Seconds() - start) * 1e6 / rounds;
    if (each < best) best = each;
  }
  return best;
}

}  // namespace

int main() {
  quillet::WriteSetting(quillet::kSearchMaskName, "http://www.bing.com/search?q=%s");
  const int rounds = 2000;
  const char typed[] = "cats and dogs";
  char text[quillet::kTypedTextSize];
  char mask[1024];

  double chain = MicrosecondsPerCall(rounds, [&] {
    std::memcpy(text, typed, sizeof typed);
    quillet::RewriteTypedText(text);
  });
  // The reads that chain makes for this text: the layout switch and the mask.
  double reads = MicrosecondsPerCall(rounds, [&] {
    volatile int32_t on = quillet::ReadIntSetting(quillet::kSpellingCyrillicName, 1);
    (void)on;
    quillet::ReadSetting(quillet::kSearchMaskName, mask, sizeof mask, "");
  });
  quillet::test::SubclassedEditBox box(false);
  double enter = MicrosecondsPerCall(rounds / 4, [&] {
    SetWindowTextA(box.window(), typed);
    box.PressEnter();
  });
  std::printf("rule chain with its registry reads: %8.2f us\n", chain);
  std::printf("the registry reads alone:           %8.2f us\n", reads);
  std::printf("logic over the reads:               %+7.1f %%\n", (chain / reads - 1.0) * 100.0);
  std::printf("Enter through a real edit box:      %8.2f us (set text + key)\n", enter);
  return 0;
}
