#include <cstring>
#include <string>

#include "core/autosearch.h"
#include "core/layout.h"
#include "core/rewrite.h"
#include "support/address_bar_cases.h"

namespace quillet {
namespace {

constexpr char kMask[] = "http://e.com/search?q=%s";

// The settings as the reader gives them for a mask that fits both rules.
RuleSettings WithMask(const std::string& mask) {
  RuleSettings settings;
  std::memcpy(settings.searchMask, mask.c_str(), mask.size() + 1);
  settings.searchMaskFitsSearchRule = mask.size() < 1023;
  return settings;
}

struct RuleCase {
  const char* what;
  const char* typed;
  const char* expected;  // nullptr: unchanged
};

using Rule = int (*)(char*, const RuleSettings&);

// Runs `rule` on a 4096-byte buffer holding `typed`; checks the report too.
void ExpectRule(Rule rule, const RuleSettings& settings, const RuleCase& c) {
  std::string buffer(kTypedTextSize, '\0');
  buffer.replace(0, std::strlen(c.typed), c.typed);
  int changed = rule(&buffer[0], settings);
  std::string after = buffer.c_str();
  if (c.expected == nullptr) {
    EXPECT_EQ(0, changed) << c.what;
    EXPECT_EQ(c.typed, after) << c.what;
  } else {
    EXPECT_EQ(1, changed) << c.what;
    EXPECT_EQ(c.expected, after) << c.what;
  }
}

std::string Searched(const std::string& query) { return std::string("http://e.com/search?q=") + query; }

class RewriteTest : public ::testing::Test {
 protected:
  void ExpectRule(Rule rule, const RuleCase& c) { quillet::ExpectRule(rule, settings_, c); }
  RuleSettings settings_ = WithMask(kMask);
};

TEST_F(RewriteTest, ChainWithAMask) {
  const std::string s1 = Searched("cats and dogs"), s2 = Searched("abc"), s3 = Searched("my notes.txt"),
                    s4 = Searched("about:blank "), s5 = Searched("about:config"), s6 = Searched("HTTP://abc"),
                    s7 = Searched("https://abc"), s8 = Searched(""), s9 = Searched("100% cotton"),
                    s10 = Searched("ww.abc def"), s11 = Searched("\xF6\xF6\xF6"), s12 = Searched("a\tb"),
                    s13 = Searched("%s%d%n");
  const RuleCase cases[] = {
      {"spaces kept, nothing encoded", "cats and dogs", s1.c_str()},
      {"no dot is a search", "abc", s2.c_str()},
      {"dot and no space is an address", "abc.def", nullptr},
      {"a space makes a search", "my notes.txt", s3.c_str()},
      {"about:blank", "about:blank", nullptr},
      {"ABOUT:BLANK", "ABOUT:BLANK", nullptr},
      {"about:blank with a trailing space", "about:blank ", s4.c_str()},
      {"other about: address", "about:config", s5.c_str()},
      {"http: is exact", "http://abc", nullptr},
      {"HTTP: is not http:", "HTTP://abc", s6.c_str()},
      {"ftp:", "ftp://abc", nullptr},
      {"UNC path", "\\\\server\\share", nullptr},
      {"https without a dot", "https://abc", s7.c_str()},
      {"https with a dot", "https://abc.def", nullptr},
      {"empty text", "", s8.c_str()},
      {"percent in the query", "100% cotton", s9.c_str()},
      {"conversions in the query", "%s%d%n", s13.c_str()},
      {"tab is not a space", "a\tb", s12.c_str()},
      {"ww.", "ww.abc", "www.abc"},
      {"WW. keeps its case", "WW.Abc", "wWW.Abc"},
      {"http://ww.", "http://ww.abc", "http://www.abc"},
      {"HTTP://WW.", "HTTP://WW.ABC", "HTTP://wWW.ABC"},
      {"wwww.", "wwww.abc", "www.abc"},
      {"http://wwww.", "http://wwww.abc", "http://www.abc"},
      {"HTTP://WWWW.", "HTTP://WWWW.ABC", "HTTP://WWW.ABC"},
      {"www. stays", "www.abc", nullptr},
      {"wwwww. stays", "wwwww.abc", nullptr},
      {"https://ww. stays", "https://ww.abc", nullptr},
      {"search runs before spelling", "ww.abc def", s10.c_str()},
      {"Cyrillic trigger converted, not searched", "\xF6\xF6\xF6\xFE\xF4\xE8\xF1", "www.abc"},
      {"Cyrillic without trigger is searched", "\xF6\xF6\xF6", s11.c_str()},
      {"keys of http://www. converted, not searched", "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE\xF4\xE8\xF1",
       "http://www.abc"},
  };
  for (const RuleCase& c : cases) ExpectRule(RewriteTypedText, c);
}

// The address-bar table the Windows tests type into real windows holds what
// the chain makes of each text; checked here too, where a wrong row fails fast.
TEST_F(RewriteTest, AddressBarCasesAreWhatTheChainGives) {
  settings_ = WithMask(test::kAddressBarCaseMask);
  for (const test::AddressBarCase& c : test::kAddressBarCases) {
    ExpectRule(RewriteTypedText, {c.typed, c.typed, std::strcmp(c.typed, c.bar) == 0 ? nullptr : c.bar});
  }
}

TEST_F(RewriteTest, EmptyMaskSwitchesSearchOff) {
  settings_ = WithMask("");
  const RuleCase cases[] = {
      {"no search", "cats and dogs", nullptr},
      {"no search without a dot", "abc", nullptr},
      {"spelling still on", "ww.abc", "www.abc"},
  };
  for (const RuleCase& c : cases) ExpectRule(RewriteTypedText, c);
}

TEST_F(RewriteTest, SpellingSwitches) {
  const struct {
    int32_t ww;
    int32_t wwww;
    RuleCase rule;
  } cases[] = {
      {0, 1, {"ww off", "ww.abc", nullptr}},
      {1, 2, {"wwww 2: off", "wwww.abc", nullptr}},
      {1, 0, {"ww still on", "http://ww.abc", "http://www.abc"}},
      {-1, 1, {"wwww still on", "wwww.abc", "www.abc"}},
  };
  for (const auto& c : cases) {
    settings_.spellingWw = c.ww;
    settings_.spellingWwww = c.wwww;
    ExpectRule(CorrectWwwSpelling, c.rule);
  }
}

TEST_F(RewriteTest, CyrillicSwitch) {
  for (int32_t off : {0, 2, -1}) {
    settings_.spellingCyrillic = off;
    ExpectRule(CorrectKeyboardLayout, {"switch off", "\xF6\xF6\xF6\xFE\xF4\xE8\xF1", nullptr});
    ExpectRule(CorrectKeyboardLayout, {"switch off", "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE\xF4", nullptr});
  }
  settings_.spellingCyrillic = 0;
  std::string searched = Searched("\xF6\xF6\xF6\xFE\xF4\xE8\xF1");
  ExpectRule(RewriteTypedText, {"then searched", "\xF6\xF6\xF6\xFE\xF4\xE8\xF1", searched.c_str()});
}

TEST_F(RewriteTest, KeyboardLayoutTable) {
  const RuleCase cases[] = {
      {"whole address", "\xF6\xF6\xF6\xFE\xF4\xE8\xF1\xFE\xE2\xF3\xE0", "www.abc.def"},
      {"upper-case prefix", "\xD6\xD6\xD6\xDE\xF4\xE8\xF1\xFE\xE2\xF3\xE0", "WWW>abc.def"},
      {"Latin remainder, dot becomes slash", "\xF6\xF6\xF6\xFE" "abc.def", "www.abc/def"},
      {"prefix alone", "\xF6\xF6\xF6\xFE", "www."},
      {"numero sign", "\xF6\xF6\xF6\xFE\xB9" "1", "www.#1"},
      {"long prefix", "\xF0\xE5\xE5\xE7\xDE??\xF6\xF6\xF6\xFE\xF4\xE8\xF1", "http>&&www.abc"},
      {"long prefix, mixed case", "\xD0\xC5\xE5\xE7\xFE??\xD6\xF6\xF6\xFE", "HTtp.&&Www."},
      // The keys of "http://www." with Shift for the colon: whatever case they
      // were typed in, they mean "http://www."; the rest converts byte by byte.
      {"keys of http://www.", "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE\xF3\xF7\xF4\xFC\xE7\xE4\xF3\xFE\xF1\xF9\xFC",
       "http://www.example.com"},
      {"keys of http://www., colon key unshifted", "\xF0\xE5\xE5\xE7\xE6..\xF6\xF6\xF6\xFE\xF4\xE8\xF1",
       "http://www.abc"},
      {"keys of http://www. in capitals", "\xD0\xC5\xC5\xC7\xC6..\xD6\xD6\xD6\xDE\xF4\xC8\xF1.",
       "http://www.aBc/"},
      {"keys of http://www. alone", "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE", "http://www."},
      {"keys of http://www without the dot", "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6", nullptr},
      {"slashes typed as slashes", "\xF0\xE5\xE5\xE7\xC6//\xF6\xF6\xF6\xFE", nullptr},
      {"keys of http://www. later", " \xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE", nullptr},
      {"the seven ASCII keys", "\xF6\xF6\xF6\xFE.\";:?,/", "www./@$^&?|"},
      {"unchanged ASCII", "\xF6\xF6\xF6\xFE" "1-=\\!%*()_+ Az", "www.1-=\\!%*()_+ Az"},
      {"yo both cases", "\xF6\xF6\xF6\xFE\xB8\xA8", "www.`~"},
      {"no trigger", "\xF6\xF6\xF6", nullptr},
      {"trigger later", "abc \xF6\xF6\xF6\xFE", nullptr},
      {"trigger at the second character", "\xF6\xF6\xF6\xF6\xFE\xF4\xE8\xF1", nullptr},
      {"empty", "", nullptr},
  };
  for (const RuleCase& c : cases) ExpectRule(CorrectKeyboardLayout, c);
}

TEST(KeyboardLayoutFolding, Cp1251Letters) {
  EXPECT_EQ(0xE0, FoldCp1251(0xC0));
  EXPECT_EQ(0xFF, FoldCp1251(0xDF));
  EXPECT_EQ(0xE0, FoldCp1251(0xE0));
  EXPECT_EQ(0xB8, FoldCp1251(0xB8));
  EXPECT_EQ('a', FoldCp1251('A'));
  EXPECT_EQ('?', FoldCp1251('?'));
}

// Maximum-length texts: nothing is read or written past the 4096 bytes.
TEST_F(RewriteTest, MaximumLengthTexts) {
  const struct {
    const char* what;
    std::string typed;
    std::string expected;
  } cases[] = {
      {"search of 4095 bytes is cut to 1023", std::string(4095, 'a'), Searched(std::string(4095, 'a')).substr(0, 1023)},
      {"wwww. of 4095 bytes is cut to 1023", "wwww." + std::string(4090, 'b'), ("www." + std::string(4090, 'b')).substr(0, 1023)},
      {"ww. of 4095 bytes is cut to 1023", "ww." + std::string(4092, 'c'), ("www." + std::string(4092, 'c')).substr(0, 1023)},
      {"http://wwww. long", "http://wwww." + std::string(4083, 'd'), ("http://www." + std::string(4083, 'd')).substr(0, 1023)},
      {"Cyrillic of 4095 bytes converted whole", "\xF6\xF6\xF6\xFE" + std::string(4091, '\xF4'), "www." + std::string(4091, 'a')},
      {"address of 4095 bytes untouched", std::string(4093, 'e') + ".x", std::string(4093, 'e') + ".x"},
  };
  for (const auto& c : cases) {
    std::string buffer(kTypedTextSize + 16, '#');
    buffer.replace(0, c.typed.size() + 1, c.typed.c_str(), c.typed.size() + 1);
    RewriteTypedText(&buffer[0], settings_);
    EXPECT_EQ(c.expected, std::string(buffer.c_str())) << c.what;
    EXPECT_EQ(std::string(16, '#'), buffer.substr(kTypedTextSize)) << c.what;
  }
}

TEST_F(RewriteTest, HostileMasksNeverReadMissingArguments) {
  const struct {
    const char* mask;
    const char* expected;
  } cases[] = {
      {"%s%s%s%s", "abc%s%s%s"},
      {"%d%n%x%p%s", "%d%n%x%pabc"},
      {"%", "%"},
      {"q=%s%", "q=abc%"},
      {"%%s", "%s"},
  };
  for (const auto& c : cases) {
    settings_ = WithMask(c.mask);
    ExpectRule(ApplySearchMask, {c.mask, "abc", c.expected});
  }
}

// Which masks fit the search rule's reading is the settings reader's to say.
TEST_F(RewriteTest, AMaskThatDoesNotFitTheSearchRuleSwitchesOnlyItOff) {
  settings_.searchMaskFitsSearchRule = false;
  ExpectRule(ApplySearchMask, {"search off", "abc", nullptr});
  ExpectRule(RewriteTypedText, {"spelling on", "ww.abc", "www.abc"});
  char result[kUrlBufferSize];
  EXPECT_TRUE(MapAutosearchUrl("http://autosearch/response.asp?MT=cats", settings_, result));
}

struct AutosearchCase {
  const char* what;
  const char* url;
  const char* expected;  // nullptr: not redirected
};

TEST_F(RewriteTest, AutosearchTable) {
  const std::string s1 = Searched("cats"), s2 = Searched(""), s3 = Searched("a+b%20c");
  const AutosearchCase cases[] = {
      {"service host", "http://auto.search.msn.com/response.asp?MT=cats&srch=5", s1.c_str()},
      {"local host", "http://autosearch/response.asp?MT=cats&srch=5", s1.c_str()},
      {"MT= at the end", "http://autosearch/response.asp?MT=cats", s1.c_str()},
      {"first & after MT=", "http://autosearch/response.asp?srch=5&MT=cats&x=1", s1.c_str()},
      {"MT= inside a longer name", "http://autosearch/response.asp?XMT=cats&y", s1.c_str()},
      {"empty query", "http://autosearch/response.asp?MT=", s2.c_str()},
      {"escapes kept", "http://autosearch/response.asp?MT=a+b%20c&srch=5", s3.c_str()},
      {"no MT=", "http://autosearch/response.asp?q=cats", nullptr},
      {"prefix case differs", "HTTP://autosearch/response.asp?MT=cats", nullptr},
      {"other host", "http://example.com/response.asp?MT=cats", nullptr},
      {"ordinary URL", "http://example.com/", nullptr},
      {"the search URL itself", s1.c_str(), nullptr},
      {"empty", "", nullptr},
  };
  char result[kUrlBufferSize];
  for (const AutosearchCase& c : cases) {
    bool mapped = MapAutosearchUrl(c.url, settings_, result);
    EXPECT_EQ(c.expected != nullptr, mapped) << c.what;
    if (mapped && c.expected != nullptr) {
      EXPECT_STREQ(c.expected, result) << c.what;
    }
  }
}

// The browser reads the settings only for URLs this picks.
TEST(AutosearchPrefix, OnlyTheTwoPrefixesExactly) {
  EXPECT_TRUE(IsAutosearchUrl("http://auto.search.msn.com/response.asp?q=cats"));
  EXPECT_TRUE(IsAutosearchUrl("http://autosearch/response.asp?"));
  EXPECT_FALSE(IsAutosearchUrl("HTTP://autosearch/response.asp?MT=cats"));
  EXPECT_FALSE(IsAutosearchUrl("http://autosearch/response.asp"));
  EXPECT_FALSE(IsAutosearchUrl(""));
}

TEST_F(RewriteTest, AutosearchNeedsAMask) {
  settings_ = WithMask("");
  char result[kUrlBufferSize];
  EXPECT_FALSE(MapAutosearchUrl("http://autosearch/response.asp?MT=cats", settings_, result));
}

TEST_F(RewriteTest, AutosearchLooksAtTheFirst1023Characters) {
  std::string prefix = "http://autosearch/response.asp?";
  std::string url = prefix + std::string(1023 - prefix.size(), 'x') + "MT=late";
  char result[kUrlBufferSize];
  EXPECT_FALSE(MapAutosearchUrl(url.c_str(), settings_, result));

  std::string query(4000, 'q');
  url = prefix + "MT=" + query;
  ASSERT_TRUE(MapAutosearchUrl(url.c_str(), settings_, result));
  std::string expected = Searched(query.substr(0, 1023 - prefix.size() - 3)).substr(0, 1023);
  EXPECT_EQ(expected, std::string(result));
}

TEST_F(RewriteTest, AutosearchMaskOf4096ReaderLengths) {
  settings_ = WithMask(std::string(4093, 'm') + "%s");  // the longest mask the reader gives
  char result[kUrlBufferSize];
  ASSERT_TRUE(MapAutosearchUrl("http://autosearch/response.asp?MT=cats", settings_, result));
  EXPECT_EQ(std::string(1023, 'm'), std::string(result));
}

}  // namespace
}  // namespace quillet
