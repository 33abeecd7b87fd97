// Executor cases that need the in-memory registry (read-only keys, failing
// operations, names the platform refuses), a failing allocator or a
// double-byte code page. They run in both builds.
#include <gtest/gtest.h>

#include <string>

#include "script/ansi_text.h"
#include "script/script_platform.h"
#include "tests/script_fixture.h"

namespace quillet::test {
namespace {

using Op = MemoryRegistry::Operation;

class ScriptEdgeTest : public ::testing::Test {
 protected:
  ScriptEdgeTest() : fixture_(false) {}
  void TearDown() override { FailScriptAllocation(-1); }
  MemoryRegistry& memory() { return fixture_.memory(); }
  Status Run(const std::string& script, bool doRegister = true) { return fixture_.Run(script, doRegister); }
  Status RunDoubleByte(const std::string& script) {
    return RunScript(script.c_str(), true, fixture_.table(), memory(), ShiftJisLikeCodePage());
  }
  void Given(const std::vector<std::string>& lines) { Build(memory(), CurrentUser(), kScratchPath, lines); }
  std::string State() { return fixture_.ScratchDump(); }
  ScriptFixture fixture_;
};

TEST_F(ScriptEdgeTest, ReadOnlyKeyTakesNoValuesSilently) {
  Given({"RO\\Existing"});
  memory().SetReadOnly(CurrentUser(), "Software\\QuilletScriptTest\\RO", true);
  EXPECT_EQ(kS_OK, Run(Scratch("RO = s 'x' { val N = s 'v' Existing = s 'y' }")));
  EXPECT_EQ(Lines({"RO", "RO\\Existing", "RO\\Existing|=S:y"}), State());
  EXPECT_EQ(0u, memory().OpenHandleCount());
}

TEST_F(ScriptEdgeTest, KeyCreatedBeneathAReadOnlyKeyFails) {
  Given({"RO"});
  memory().SetReadOnly(CurrentUser(), "Software\\QuilletScriptTest\\RO", true);
  EXPECT_EQ(kDISP_E_EXCEPTION, Run(Scratch("RO { New }")));
  EXPECT_EQ(Lines({"RO"}), State());
  EXPECT_EQ(0u, memory().OpenHandleCount());
}

TEST_F(ScriptEdgeTest, KeyThatCanBeNeitherOpenedNorCreatedFails) {
  Given({});
  memory().FailOperation(Op::Create, reg::kAccessDenied);
  EXPECT_EQ(kDISP_E_EXCEPTION, Run(Scratch("A = s 'x'")));
  EXPECT_EQ(Lines({}), State());
}

TEST_F(ScriptEdgeTest, FailingCloseAfterACreationFails) {
  Given({});
  memory().FailOperation(Op::Close, reg::kInvalidHandle);
  EXPECT_EQ(kDISP_E_EXCEPTION, Run(Scratch("A B")));
}

TEST_F(ScriptEdgeTest, FailingCloseAfterAnOpenIsIgnored) {
  Given({"A", "B"});
  memory().FailOperation(Op::Close, reg::kInvalidHandle);
  EXPECT_EQ(kS_OK, Run(Scratch("A B = s 'x'")));
  EXPECT_EQ(Lines({"A", "B", "B|=S:x"}), State());
}

TEST_F(ScriptEdgeTest, FailingCloseInTheUnregisterPassFails) {
  Given({"A"});
  memory().FailOperation(Op::Close, reg::kInvalidHandle);
  EXPECT_EQ(kDISP_E_EXCEPTION, Run(Scratch("A"), false));
  EXPECT_EQ(Lines({"A"}), State());
}

TEST_F(ScriptEdgeTest, ValueThatCannotBeSetIsIgnored) {
  Given({});
  memory().FailOperation(Op::Set, reg::kAccessDenied);
  EXPECT_EQ(kS_OK, Run(Scratch("A = s 'x' B = s 'y'")));
  EXPECT_EQ(Lines({"A", "B", "B|=S:y"}), State());
}

TEST_F(ScriptEdgeTest, KeyThatCannotBeDeletedIsIgnored) {
  Given({"A", "B"});
  memory().FailOperation(Op::DeleteKey, reg::kAccessDenied);
  EXPECT_EQ(kS_OK, Run(Scratch("A B"), false));
  EXPECT_EQ(Lines({"A"}), State());
}

TEST_F(ScriptEdgeTest, KeyThatCannotBeQueriedCountsAsEmpty) {
  // Taken for empty, the key's deletion fails on its subkey and its block is
  // walked through without effect.
  Given({"A\\B"});
  memory().FailOperation(Op::QueryInfo, reg::kAccessDenied, 1, 2);  // A's first query
  EXPECT_EQ(kS_OK, Run(Scratch("A { B }"), false));
  EXPECT_EQ(Lines({"A", "A\\B"}), State());
}

TEST_F(ScriptEdgeTest, KeyNameTooLongToRememberIsNeverDeleted) {
  const std::string shorter(259, 'K');
  Given({shorter, shorter + "L"});
  EXPECT_EQ(kS_OK, Run(Scratch(shorter + "L"), false));
  EXPECT_EQ(Lines({shorter, shorter + "L"}), State());
  EXPECT_EQ(kS_OK, Run(Scratch(shorter), false));
  EXPECT_EQ(Lines({shorter + "L"}), State());
}

std::string Nested(int levels) {
  std::string script = "HKCU {";
  for (int i = 0; i < levels; ++i) script += " K {";
  for (int i = 0; i <= levels; ++i) script += " }";
  return script;
}

TEST_F(ScriptEdgeTest, BlocksNestUpTo512Deep) {
  EXPECT_EQ(kS_OK, Run(Nested(kMaxBlockDepth - 1)));
  EXPECT_EQ(kS_OK, Run(Nested(kMaxBlockDepth - 1), false));
  EXPECT_EQ("<absent>", Dump(memory(), CurrentUser(), "K"));
  EXPECT_EQ(kDISP_E_EXCEPTION, Run(Nested(kMaxBlockDepth)));
  EXPECT_EQ(kDISP_E_EXCEPTION, Run(Nested(100000), false));
  EXPECT_EQ(0u, memory().OpenHandleCount());
}

TEST_F(ScriptEdgeTest, NoMemoryForTheExpandedText) {
  Given({"Keep"});
  FailScriptAllocation(0);
  EXPECT_EQ(kE_OUTOFMEMORY, Run(Scratch("A")));
  EXPECT_EQ(Lines({"Keep"}), State());
}

TEST_F(ScriptEdgeTest, ExpandedTextThatCannotGrow) {
  Given({"Keep"});
  SubstitutionTable table;
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Long", std::u16string(1000, u'v').c_str()));
  // Allocations: the text, the ANSI form of the one name, then the growth.
  FailScriptAllocation(2);
  std::string script = Scratch("A = s '%Long%'");
  EXPECT_EQ(kE_OUTOFMEMORY, RunScript(script.c_str(), true, table, memory()));
  EXPECT_EQ(Lines({"Keep"}), State());
  EXPECT_EQ(kS_OK, RunScript(script.c_str(), true, table, memory()));
  EXPECT_EQ(Lines({"A", "A|=S:" + std::string(1000, 'v'), "Keep"}), State());
}

TEST_F(ScriptEdgeTest, ScriptEndingInALeadByte) {
  Given({"Keep"});
  EXPECT_EQ(kDISP_E_EXCEPTION, RunDoubleByte(Scratch("A") + "\x81"));
  EXPECT_EQ(kDISP_E_EXCEPTION, RunDoubleByte("HKCU { NoRemove Software { NoRemove QuilletScriptTest { B = s '\x81"));
  EXPECT_EQ(kDISP_E_EXCEPTION, RunDoubleByte(Scratch("C") + "%\x81"));
  EXPECT_EQ(Lines({"A", "Keep"}), State());
}

struct DoubleByteCase {
  const char* name;
  std::string script;
  Status doubleByte;    // with Shift-JIS-like lead bytes
  Status singleByte;    // the same bytes in a single-byte page
  std::vector<std::string> after;  // with lead bytes
};

void PrintTo(const DoubleByteCase& row, std::ostream* out) { *out << row.name; }

std::vector<DoubleByteCase> DoubleByteCases() {
  return {
      {"TrailBackslashInAKeyName", Scratch("A\x81\x5C"), kS_OK, kDISP_E_EXCEPTION, {"A\x81\x5C"}},
      {"TrailPercentIsNoVariable", Scratch("A = s '\x81%'"), kS_OK, kDISP_E_EXCEPTION, {"A", "A|=S:\x81%"}},
      {"TrailQuoteEndsNoToken", Scratch("A = s '\x81''"), kS_OK, kDISP_E_EXCEPTION, {"A", "A|=S:\x81'"}},
      {"VariableNameWithTrailPercent", Scratch("A = s '%\x81%X%'"), kS_OK, kDISP_E_EXCEPTION, {"A", "A|=S:dbcs"}},
      {"ValueWithTrailBackslashAsKeyName", Scratch("%Pair%"), kS_OK, kS_OK, {"K\x81\x5C"}},
      {"QuotedTokenOf4094BytesEndingInAPair",
       Scratch("A = s '" + std::string(4092, 'x') + "\x81\x40'"),
       kS_OK,
       kS_OK,
       {"A", "A|=S:" + std::string(4092, 'x') + "\x81\x40"}},
      {"PairThatWouldMake4095Bytes", Scratch("A = s '" + std::string(4093, 'x') + "\x81\x40'"), kDISP_E_EXCEPTION,
       kDISP_E_EXCEPTION, {}},
      {"KeywordsStillFold", Scratch("noremove \x81\x41 { VAL N = s '\x81\x61' }"), kS_OK, kS_OK,
       {"\x81\x41", "\x81\x41|N=S:\x81\x61"}},
  };
}

class DoubleByteTest : public ::testing::TestWithParam<DoubleByteCase> {};

TEST_P(DoubleByteTest, StepsOverTrailBytes) {
  const DoubleByteCase& row = GetParam();
  for (bool doubleByte : {true, false}) {
    ScriptFixture fixture(false);
    if (doubleByte) fixture.memory().SetLeadBytes([](unsigned char b) { return ShiftJisLikeCodePage().IsLeadByte(b); });
    ASSERT_EQ(kS_OK, fixture.table().AddSubstitution(u"\x8125X", u"dbcs"));
    ASSERT_EQ(kS_OK, fixture.table().AddSubstitution(u"Pair", u"K\x815C"));
    const AnsiCodePage& page = doubleByte ? static_cast<const AnsiCodePage&>(ShiftJisLikeCodePage())
                                          : static_cast<const AnsiCodePage&>(SystemCodePage());
    Status hr = RunScript(row.script.c_str(), true, fixture.table(), fixture.memory(), page);
    EXPECT_EQ(doubleByte ? row.doubleByte : row.singleByte, hr) << (doubleByte ? "double" : "single");
    if (doubleByte) {
      EXPECT_EQ(Lines(row.after), fixture.ScratchDump());
    }
    EXPECT_EQ(0u, fixture.memory().OpenHandleCount());
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, DoubleByteTest, ::testing::ValuesIn(DoubleByteCases()),
                         [](const ::testing::TestParamInfo<DoubleByteCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quillet::test
