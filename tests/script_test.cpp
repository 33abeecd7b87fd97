// Whole scripts, table-driven: the state below the scratch key before, the
// script, the pass, and the result code and state after. Every row runs on
// the in-memory registry and, under Windows, on the real registry too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/script_fixture.h"

namespace quillet::test {
namespace {

constexpr bool kRegister = true;
constexpr bool kUnregister = false;
constexpr const char* kGuid = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A20}";

struct ScriptCase {
  const char* name;
  std::vector<std::string> before;
  std::string script;
  bool doRegister;
  Status expected;
  std::vector<std::string> after;
};

std::string Repeat(char c, size_t count) { return std::string(count, c); }

std::vector<ScriptCase> Cases() {
  const std::string guid = kGuid;
  return {
      // The register pass.
      {"KeyWithDefaultValue", {}, Scratch("A = s 'x'"), kRegister, kS_OK, {"A", "A|=S:x"}},
      {"NestedKeys", {}, Scratch("A\r\n{\r\n\tB = s 'y'\r\n}"), kRegister, kS_OK, {"A", "A\\B", "A\\B|=S:y"}},
      {"ValuesOfEveryType",
       {},
       Scratch("A { val Text = s 'v w' val Number = d 4294967295 val Zero = D 0 val Padded = d 007 "
               "val Bytes = b 0a1B val Junk = b zz val Empty = b '' }"),
       kRegister,
       kS_OK,
       {"A", "A|Text=S:v w", "A|Number=D:4294967295", "A|Zero=D:0", "A|Padded=D:7", "A|Bytes=B:0a1b",
        "A|Junk=B:00", "A|Empty=B:"}},
      {"KeywordsAndLettersInAnyCase",
       {"C"},
       Scratch("noremove A { VAL N = S 'x' } forceremove B DELETE C"),
       kRegister,
       kS_OK,
       {"A", "A|N=S:x", "B"}},
      {"QuotedTokens",
       {},
       Scratch("'Two Words' = s 'it''s' Empty = s '' Braces = s '{ } = x'"),
       kRegister,
       kS_OK,
       {"Two Words", "Two Words|=S:it's", "Empty", "Empty|=S:", "Braces", "Braces|=S:{ } = x"}},
      {"DoublePercentIsOnePercent",
       {},
       Scratch("val SearchMask = s 'http://www.bing.com/search?q=%%s'"),
       kRegister,
       kS_OK,
       {"|SearchMask=S:http://www.bing.com/search?q=%s"}},
      {"VariablesByNameInAnyCase",
       {},
       Scratch("A = s '%MODULE%' B = s '%Module%' C = s '%twice%' D = s '%Name31_012345678901234567890123%' "
               "E = s '%Quote%'"),
       kRegister,
       kS_OK,
       {"A", "A|=S:C:\\dir\\quillet.dll", "B", "B|=S:C:\\dir\\quillet.dll", "C", "C|=S:first", "D",
        "D|=S:thirty-one", "E", "E|=S:O'Brien"}},
      {"BraceNamedKeyIsTheNextEntry",
       {},
       Scratch("A = s 'x' " + guid + " = s 'y'"),
       kRegister,
       kS_OK,
       {"A", "A|=S:x", guid, guid + "|=S:y"}},
      {"ForceRemoveRebuildsTheKey",
       {"A\\Old", "A|V=S:old"},
       Scratch("ForceRemove A = s 'new' { B }"),
       kRegister,
       kS_OK,
       {"A", "A|=S:new", "A\\B"}},
      {"ForceRemoveAndDeleteSpareClsidAndTypeLib",
       {"CLSID\\Other", "TypeLib\\Lib"},
       Scratch("ForceRemove CLSID { Mine } ForceRemove typelib Delete Clsid"),
       kRegister,
       kS_OK,
       {"CLSID", "CLSID\\Other", "CLSID\\Mine", "TypeLib", "TypeLib\\Lib"}},
      {"DeleteRemovesATreeAndPassesOverItsValue",
       {"A\\B\\C", "A|V=S:x", "Keep"},
       Scratch("Delete A = s 'ignored' Delete Missing"),
       kRegister,
       kS_OK,
       {"Keep"}},
      {"ValuesOverwrittenOthersKept",
       {"A|=S:old", "A|Other=S:kept"},
       Scratch("A = s 'new' { val Added = s 'x' }"),
       kRegister,
       kS_OK,
       {"A", "A|=S:new", "A|Other=S:kept", "A|Added=S:x"}},
      {"EmptyBlock", {}, Scratch("A { }"), kRegister, kS_OK, {"A"}},
      {"QuotedTokenOf4094Bytes",
       {},
       Scratch("A = s '" + Repeat('x', 4094) + "'"),
       kRegister,
       kS_OK,
       {"A", "A|=S:" + Repeat('x', 4094)}},
      {"UnquotedTokenOf4095Bytes",
       {},
       Scratch("A = s " + Repeat('y', 4095)),
       kRegister,
       kS_OK,
       {"A", "A|=S:" + Repeat('y', 4095)}},
      {"ValueNameOf259Bytes",
       {},
       Scratch("A { val " + Repeat('n', 259) + " = s 'x' }"),
       kRegister,
       kS_OK,
       {"A", "A|" + Repeat('n', 259) + "=S:x"}},
      {"EmptyScript", {"Keep"}, "", kRegister, kS_OK, {"Keep"}},
      {"EveryRootKeyName",
       {"Keep"},
       "HKCR { } HKCU { } HKLM { } HKU { } HKPD { } HKDD { } HKCC { } HKEY_CLASSES_ROOT { } "
       "HKEY_CURRENT_USER { } HKEY_LOCAL_MACHINE { } HKEY_USERS { } HKEY_PERFORMANCE_DATA { } "
       "HKEY_DYN_DATA { } hkey_current_config { }",
       kRegister,
       kS_OK,
       {"Keep"}},
      {"LongRootNameIsTheSameKey",
       {},
       "HKEY_CURRENT_USER { NoRemove Software { NoRemove QuilletScriptTest { A } } }",
       kRegister,
       kS_OK,
       {"A"}},

      // Register-pass failures.
      {"ForceRemoveOfAPathDeletesNothing", {"A\\B"}, Scratch("ForceRemove A\\B"), kRegister, kDISP_E_EXCEPTION, {"A", "A\\B"}},
      {"DeleteOfAPathDeletesNothing", {"A\\B"}, Scratch("Delete A\\B"), kRegister, kDISP_E_EXCEPTION, {"A", "A\\B"}},
      {"KeyNameWithBackslash", {}, Scratch("New A\\B"), kRegister, kDISP_E_EXCEPTION, {}},
      {"ValNotFollowedByEquals", {}, Scratch("A { val N s 'x' }"), kRegister, kDISP_E_EXCEPTION, {}},
      {"UnknownTypeLetter", {}, Scratch("A = x 'y'"), kRegister, kDISP_E_EXCEPTION, {}},
      {"OddLengthBinary", {}, Scratch("A { val N = b abc }"), kRegister, kE_FAIL, {}},
      {"NumberWithLetters", {}, Scratch("A { val N = d 12abc }"), kRegister, kDISP_E_EXCEPTION, {}},
      {"NumberTooLarge", {}, Scratch("A { val N = d 4294967296 }"), kRegister, kDISP_E_EXCEPTION, {}},
      {"NegativeNumber", {}, Scratch("A { val N = d -1 }"), kRegister, kDISP_E_EXCEPTION, {}},
      {"UnterminatedQuotedToken", {}, Scratch("A = s 'abc"), kRegister, kDISP_E_EXCEPTION, {}},
      {"QuotedTokenOf4095Bytes", {}, Scratch("A = s '" + Repeat('x', 4095) + "'"), kRegister, kDISP_E_EXCEPTION, {}},
      {"UnquotedTokenOf4096Bytes", {}, Scratch("A = s " + Repeat('y', 4096)), kRegister, kDISP_E_EXCEPTION, {}},
      {"ValueNameOf260Bytes",
       {},
       Scratch("A { val " + Repeat('n', 260) + " = s 'x' }"),
       kRegister,
       kDISP_E_EXCEPTION,
       {}},
      // The recovery stops at the same error, so the value written before it stays.
      {"BlockAfterVal", {}, Scratch("A { val N = s 'x' { B } }"), kRegister, kDISP_E_EXCEPTION, {"A", "A|N=S:x"}},
      {"BlockAfterDelete", {"X"}, Scratch("Delete X { Y }"), kRegister, kDISP_E_EXCEPTION, {}},
      {"BlanksOnly", {"Keep"}, " \t\r\n", kRegister, kDISP_E_EXCEPTION, {"Keep"}},
      {"UnknownRootKey", {"Keep"}, "HKXX { }", kRegister, kDISP_E_EXCEPTION, {"Keep"}},
      {"RootKeyWithoutBrace", {"Keep"}, "HKCU Software { }", kRegister, kDISP_E_EXCEPTION, {"Keep"}},
      {"TextEndsInsideABlock",
       {"Keep"},
       "HKCU { NoRemove Software { NoRemove QuilletScriptTest { A",
       kRegister,
       kDISP_E_EXCEPTION,
       {"Keep"}},
      {"LonePercentAtTheEnd", {"Keep"}, Scratch("A") + "%", kRegister, kDISP_E_EXCEPTION, {"Keep"}},
      {"PercentWithoutClosingPercent", {"Keep"}, Scratch("A = s '%Module'"), kRegister, kDISP_E_EXCEPTION, {"Keep"}},
      {"UnknownVariable", {"Keep"}, Scratch("A = s '%Nope%'"), kRegister, kDISP_E_EXCEPTION, {"Keep"}},
      {"VariableNameOf32Bytes",
       {"Keep"},
       Scratch("A = s '%Name32_0123456789012345678901234%'"),
       kRegister,
       kE_FAIL,
       {"Keep"}},

      // The recovery rolls back only the failing root entry.
      {"SecondRootEntryFailsWithPriorContent",
       {"Second\\Old"},
       Scratch("First") + Scratch("Second { Inner { val N = x 'bad' } }") + Scratch("Third"),
       kRegister,
       kDISP_E_EXCEPTION,
       {"First", "Second", "Second\\Old"}},
      {"SecondRootEntryFails",
       {},
       Scratch("First") + Scratch("Second { Made = s 'x' Broken = b abc }") + Scratch("Third"),
       kRegister,
       kE_FAIL,
       {"First"}},
      {"RecoveryKeepsWhatFollowsNoRemove",
       {},
       Scratch("NoRemove Kept { Inner } Broken = z 'x'"),
       kRegister,
       kDISP_E_EXCEPTION,
       {"Kept", "Broken"}},

      // The unregister pass.
      {"UnregisterRemovesWhatItDescribes",
       {"A|=S:x", "A\\B|N=S:v"},
       Scratch("A = s 'x' { B { val N = s 'v' } }"),
       kUnregister,
       kS_OK,
       {}},
      {"NoRemoveSticksForTheRestOfItsBlock",
       {"Before", "A\\X", "B\\Y", "Later"},
       Scratch("Before NoRemove A { X } B { Y } Later"),
       kUnregister,
       kS_OK,
       {"A", "B", "Later"}},
      {"NoRemoveInANestedBlockStaysThere",
       {"A\\B", "C"},
       Scratch("A { NoRemove B } C"),
       kUnregister,
       kS_OK,
       {"A", "A\\B"}},
      {"UnmentionedSubkeyKeepsItsKeyAndParent",
       {"A\\B\\Extra"},
       Scratch("A { B }"),
       kUnregister,
       kS_OK,
       {"A", "A\\B", "A\\B\\Extra"}},
      {"DefaultOnlyKeyGoesAtOnceBlockUntouched",
       {"A|=S:x", "Keep"},
       Scratch("A = s 'x' { Keep }"),
       kUnregister,
       kS_OK,
       {"Keep"}},
      {"KeyWithNamedValueGoesAfterItsBlock", {"A|N=S:v"}, Scratch("A { val N = s 'v' }"), kUnregister, kS_OK, {}},
      {"KeyWithNamedValueAndNoBlock", {"A|N=S:v"}, Scratch("A"), kUnregister, kS_OK, {}},
      {"MissingKeyWalksItsBlockLaterEntriesProcessed",
       {"Keep", "Later"},
       Scratch("Missing { Keep } Later"),
       kUnregister,
       kS_OK,
       {"Keep"}},
      {"BraceNamedKeyIsNotABlock",
       {"A|=S:x", guid + "|=S:y"},
       Scratch("A = s 'x' " + guid + " = s 'y'"),
       kUnregister,
       kS_OK,
       {}},
      {"ForceRemoveAndDeleteAsPlainKeys",
       {"X", "Y", "Z\\Sub"},
       Scratch("ForceRemove X Delete Y ForceRemove Z { Sub }"),
       kUnregister,
       kS_OK,
       {}},
      // Values are deleted through the parent opened for reading, which the
      // platform refuses; the value goes only with its key.
      {"ValOnAKeyOpenedForReadingStays", {"|N=S:x"}, Scratch("val N = s 'x'"), kUnregister, kS_OK, {"|N=S:x"}},
      {"UnknownLetterAndOddBinaryAreNoError",
       {"A", "B"},
       Scratch("A = x 'y' B { val N = b abc }"),
       kUnregister,
       kS_OK,
       {}},
      {"UnregisterKeyNameWithBackslash", {"A\\B"}, Scratch("A\\B"), kUnregister, kDISP_E_EXCEPTION, {"A", "A\\B"}},
      {"UnregisterValNotFollowedByEquals", {"Keep"}, Scratch("val N s"), kUnregister, kDISP_E_EXCEPTION, {"Keep"}},
      {"UnregisterBlockAfterVal", {"Keep"}, Scratch("val N = s 'x' { }"), kUnregister, kDISP_E_EXCEPTION, {"Keep"}},
      {"UnregisterEmptyScript", {"Keep"}, "", kUnregister, kS_OK, {"Keep"}},
  };
}

void PrintTo(const ScriptCase& row, std::ostream* out) { *out << row.name; }

std::string RowName(const ::testing::TestParamInfo<ScriptCase>& info) { return info.param.name; }

void RunCase(const ScriptCase& row, bool platformRegistry) {
  ScriptFixture fixture(platformRegistry);
  Build(fixture.registry(), CurrentUser(), kScratchPath, row.before);
  EXPECT_EQ(row.expected, fixture.Run(row.script, row.doRegister));
  EXPECT_EQ(Lines(row.after), fixture.ScratchDump());
  if (!platformRegistry) {
    EXPECT_EQ(0u, fixture.memory().OpenHandleCount()) << "a key was left open";
  }
}

class ScriptTableTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptTableTest, OnTheMemoryRegistry) { RunCase(GetParam(), false); }

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTableTest, ::testing::ValuesIn(Cases()), RowName);

#ifdef _WIN32
class ScriptRealRegistryTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptRealRegistryTest, OnTheRealRegistry) { RunCase(GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptRealRegistryTest, ::testing::ValuesIn(Cases()), RowName);
#endif

}  // namespace
}  // namespace quillet::test
