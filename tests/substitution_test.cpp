// The substitution table, variable expansion and the code pages, without a registry.
#include <gtest/gtest.h>

#include <string>

#include "script/ansi_text.h"
#include "script/registry_script.h"
#include "script/script_internal.h"
#include "script/script_platform.h"

namespace quillet {
namespace {

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text);
  return text == nullptr ? "<null>" : out;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class SubstitutionTest : public ::testing::Test {
 protected:
  void TearDown() override { FailScriptAllocation(-1); }
  SubstitutionTable table;
};

TEST_F(SubstitutionTest, FindsByNameInAnyCaseFirstAddedWins) {
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Module", u"first"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"MODULE", u"second"));
  EXPECT_EQ("first", Narrow(table.FindSubstitution("module")));
  EXPECT_EQ("first", Narrow(table.FindSubstitution("MoDuLe")));
  EXPECT_EQ(nullptr, table.FindSubstitution("Modul"));
  EXPECT_EQ(nullptr, table.FindSubstitution("Modules"));
}

TEST_F(SubstitutionTest, GrowsPastItsFirstTenEntriesInOrder) {
  for (int i = 0; i < 25; ++i) {
    std::u16string name = Wide("V" + std::to_string(i));
    std::u16string value = Wide("value" + std::to_string(i));
    ASSERT_EQ(kS_OK, table.AddSubstitution(name.c_str(), value.c_str()));
  }
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ("value" + std::to_string(i), Narrow(table.FindSubstitution(("v" + std::to_string(i)).c_str())));
  }
}

TEST_F(SubstitutionTest, ClearEmptiesTheTable) {
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"A", u"1"));
  table.ClearSubstitutions();
  EXPECT_EQ(nullptr, table.FindSubstitution("A"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"A", u"2"));
  EXPECT_EQ("2", Narrow(table.FindSubstitution("A")));
}

TEST_F(SubstitutionTest, EveryFailingAllocationIsOutOfMemory) {
  // The array, the entry, the name's copy, the value's copy.
  for (int failing = 0; failing < 4; ++failing) {
    SubstitutionTable fresh;
    FailScriptAllocation(failing);
    EXPECT_EQ(kE_OUTOFMEMORY, fresh.AddSubstitution(u"A", u"1")) << "allocation " << failing;
    FailScriptAllocation(-1);
    EXPECT_EQ(nullptr, fresh.FindSubstitution("A"));
    EXPECT_EQ(kS_OK, fresh.AddSubstitution(u"A", u"1"));
    EXPECT_EQ("1", Narrow(fresh.FindSubstitution("A")));
  }
}

TEST_F(SubstitutionTest, MissingTextIsRefused) {
  EXPECT_EQ(kE_INVALIDARG, table.AddSubstitution(nullptr, u"x"));
  EXPECT_EQ(kE_INVALIDARG, table.AddSubstitution(u"x", nullptr));
  EXPECT_EQ(nullptr, table.FindSubstitution("x"));
}

TEST_F(SubstitutionTest, GrowingAFullArrayCanFail) {
  for (int i = 0; i < 10; ++i) ASSERT_EQ(kS_OK, table.AddSubstitution(Wide("V" + std::to_string(i)).c_str(), u"x"));
  FailScriptAllocation(0);
  EXPECT_EQ(kE_OUTOFMEMORY, table.AddSubstitution(u"Eleventh", u"y"));
  EXPECT_EQ("x", Narrow(table.FindSubstitution("V9")));
  EXPECT_EQ(nullptr, table.FindSubstitution("Eleventh"));
}

struct ExpansionCase {
  const char* name;
  std::string script;
  Status expected;
  std::string expanded;
};

void PrintTo(const ExpansionCase& row, std::ostream* out) { *out << row.name; }

class ExpansionTest : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(ExpansionTest, Expands) {
  SubstitutionTable table;
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Module", u"C:\\O''Brien\\quillet.dll"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Empty", u""));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"N31_56789012345678901234567890a", u"31"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Long", std::u16string(300, u'L').c_str()));
  ExpandedText expanded;
  EXPECT_EQ(GetParam().expected, ExpandVariables(GetParam().script.c_str(), table, SingleByteCodePage(), &expanded));
  if (GetParam().expected == kS_OK) {
    EXPECT_EQ(GetParam().expanded, std::string(expanded.text()));
    EXPECT_EQ(GetParam().expanded.size(), expanded.length());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ExpansionTest,
    ::testing::Values(
        ExpansionCase{"Empty", "", kS_OK, ""},
        ExpansionCase{"DoublePercent", "q=%%s %%%%", kS_OK, "q=%s %%"},
        ExpansionCase{"Variable", "'%MODULE%'", kS_OK, "'C:\\O''Brien\\quillet.dll'"},
        ExpansionCase{"EmptyValue", "a%Empty%b", kS_OK, "ab"},
        ExpansionCase{"InsideQuotesToo", "'%module%'%Module%", kS_OK,
                      "'C:\\O''Brien\\quillet.dll'C:\\O''Brien\\quillet.dll"},
        ExpansionCase{"GrowsPastTwiceTheScript", "%Long%%Long%", kS_OK, std::string(600, 'L')},
        ExpansionCase{"NameOf31Bytes", "%N31_56789012345678901234567890a%", kS_OK, "31"},
        ExpansionCase{"NameOf32Bytes", "%N32_56789012345678901234567890ab%", kE_FAIL, ""},
        ExpansionCase{"LongNameWithoutClosingPercent", "%N32_56789012345678901234567890ab", kDISP_E_EXCEPTION, ""},
        ExpansionCase{"LonePercent", "abc%", kDISP_E_EXCEPTION, ""},
        ExpansionCase{"UnknownName", "%Nope%", kDISP_E_EXCEPTION, ""}),
    [](const ::testing::TestParamInfo<ExpansionCase>& info) { return info.param.name; });

TEST(AnsiCodePageTest, SteppingNeverPassesTheEnd) {
  const AnsiCodePage& page = ShiftJisLikeCodePage();
  const char text[] = "a\x81\x5C\x81";
  EXPECT_EQ(text + 1, page.Next(text));
  EXPECT_EQ(text + 3, page.Next(text + 1));  // lead and trail
  EXPECT_EQ(text + 4, page.Next(text + 3));  // a lead byte before the NUL stands alone
  EXPECT_EQ(text + 4, page.Next(text + 4));  // the NUL stays
  EXPECT_FALSE(ContainsCharacter("a\x81\x5C", '\\', page));
  EXPECT_TRUE(ContainsCharacter("a\x81\x5C\\", '\\', page));
  EXPECT_TRUE(ContainsCharacter("a\x81\x5C", '\\', SingleByteCodePage()));
}

TEST(AnsiCodePageTest, ComparesWithoutFoldingTrailBytes) {
  const AnsiCodePage& page = ShiftJisLikeCodePage();
  EXPECT_EQ(0, page.CompareNoCase("NoRemove", "noremove"));
  EXPECT_EQ(0, page.CompareNoCase("x\x81\x61", "X\x81\x61"));
  EXPECT_NE(0, page.CompareNoCase("\x81\x61", "\x81\x41"));
  EXPECT_NE(0, page.CompareNoCase("abc", "ab"));
  EXPECT_EQ(0, SingleByteCodePage().CompareNoCase("\xE9t\xE9", "\xC9T\xC9"));
}

TEST(AnsiCodePageTest, ConvertsUtf16) {
  char out[8] = {};
  SingleByteCodePage single;
  ASSERT_EQ(3u, single.AnsiLength(u"a\u00E9\u20AC"));
  single.ToAnsi(u"a\u00E9\u20AC", out, 3);
  EXPECT_EQ(std::string("a\xE9?"), std::string(out, 3));
  const AnsiCodePage& page = ShiftJisLikeCodePage();
  ASSERT_EQ(4u, page.AnsiLength(u"a\x815C\x0081"));
  page.ToAnsi(u"a\x815C\x0081", out, 4);
  EXPECT_EQ(std::string("a\x81\x5C?"), std::string(out, 4));
}

TEST(DwordTextTest, AcceptsTheUnsigned32BitRange) {
  uint32_t value = 1;
  EXPECT_TRUE(ParseDwordText("0", &value));
  EXPECT_EQ(0u, value);
  EXPECT_TRUE(ParseDwordText("4294967295", &value));
  EXPECT_EQ(0xFFFFFFFFu, value);
  EXPECT_TRUE(ParseDwordText("00000000000000000012", &value));
  EXPECT_EQ(12u, value);
  for (const char* bad : {"", "4294967296", "99999999999999999999", "-1", "12abc", "abc"}) {
    EXPECT_FALSE(ParseDwordText(bad, &value)) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace quillet
