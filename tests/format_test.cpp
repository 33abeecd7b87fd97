#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/format.h"

namespace quillet {
namespace {

std::string Expand(const std::string& mask, const std::string& query, size_t outSize = kFormatBufferSize) {
  std::string out(outSize + 16, '#');
  size_t length = ExpandSearchMask(&out[0], outSize, mask.c_str(), TextArg(query.c_str()));
  EXPECT_EQ('#', out[outSize]) << "wrote past the buffer";
  EXPECT_EQ(length, std::strlen(out.c_str()));
  return out.substr(0, length);
}

struct MaskCase {
  const char* what;
  const char* mask;
  const char* query;
  const char* expected;
};

const MaskCase kMaskCases[] = {
    {"query in place of %s", "http://e.com/search?q=%s", "cats and dogs", "http://e.com/search?q=cats and dogs"},
    {"%% gives one percent", "http://e.com/?a=100%%&q=%s", "x", "http://e.com/?a=100%&q=x"},
    {"query percent signs stay", "q=%s", "100% cotton", "q=100% cotton"},
    {"query conversions are not expanded", "q=%s", "%s%d%n", "q=%s%d%n"},
    {"mask without %s drops the query", "http://e.com/", "cats", "http://e.com/"},
    {"second %s copied literally", "%s and %s", "a", "a and %s"},
    {"%d copied literally", "q=%s&n=%d", "a", "q=a&n=%d"},
    {"%n copied literally", "%n%s", "a", "%na"},
    {"%x copied literally", "%x", "a", "%x"},
    {"wide %S copied literally", "%S", "a", "%S"},
    {"lone percent at the end", "q=%s%", "a", "q=a%"},
    {"percent-encoded URL escape", "q=%s&lang=%20en", "a", "q=a&lang=%20en"},
    {"%.2s precision applies to masks too", "q=%.2s", "abcdef", "q=ab"},
    {"precision without s is literal", "q=%.3d%s", "a", "q=%.3da"},
    {"empty mask", "", "a", ""},
    {"empty query", "q=%s", "", "q="},
};

class MaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTable, Expands) {
  const MaskCase& c = GetParam();
  EXPECT_EQ(c.expected, Expand(c.mask, c.query)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskTable, ::testing::ValuesIn(kMaskCases));

TEST(FormatText, FixedCorrectionFormats) {
  const char* text = "http://ww.example.com";
  const FormatArg parts[] = {TextArg(text), TextArg(text + 7)};
  char out[kFormatBufferSize];
  FormatText(out, sizeof out, "%.7sw%s", parts, 2);
  EXPECT_STREQ("http://www.example.com", out);
}

TEST(FormatText, HugePrecisionDoesNotOverflow) {
  const FormatArg arg = TextArg("abc");
  char out[64];
  FormatText(out, sizeof out, "%.99999999999999999999999s", &arg, 1);
  EXPECT_STREQ("abc", out);
}

// Results are cut at 1023 characters, or at the caller's smaller buffer.
TEST(FormatText, LongMasksAreCut) {
  for (size_t maskLength : {1023u, 1024u, 4095u, 4096u}) {
    std::string mask(maskLength - 2, 'm');
    mask += "%s";
    std::string result = Expand(mask, "query");
    size_t expected = std::min<size_t>(maskLength - 2 + 5, 1023);
    EXPECT_EQ(expected, result.size()) << "mask of " << maskLength;
    EXPECT_EQ(std::string(std::min<size_t>(maskLength - 2, 1023), 'm'), result.substr(0, std::min<size_t>(maskLength - 2, 1023)));
  }
  EXPECT_EQ("abcdefg", Expand("abcdefghij%s", "x", 8));
  EXPECT_EQ("", Expand("abc", "x", 1));
}

TEST(FormatText, LongQueryIsCut) {
  std::string query(4095, 'q');
  std::string result = Expand("http://e.com/?q=%s", query);
  ASSERT_EQ(1023u, result.size());
  EXPECT_EQ("http://e.com/?q=qqq", result.substr(0, 19));
}

TEST(FormatText, CutNeverSplitsThePercentHandling) {
  // A mask of 1022 'm' then "%%": the "%" is the 1023rd character.
  std::string mask(1022, 'm');
  mask += "%%tail";
  std::string result = Expand(mask, "q");
  ASSERT_EQ(1023u, result.size());
  EXPECT_EQ('%', result.back());
}

}  // namespace
}  // namespace quillet
