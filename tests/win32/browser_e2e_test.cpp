// End to end: quillet.dll registered with regsvr32, loaded by the browser
// stand-in into its windows, driven through the real address bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "address_bar_cases.h"
#include "server_support.h"
#include "settings/settings.h"

namespace quillet {
namespace {

const std::string kFolder = "C:\\quillet e2e";
constexpr char kSearch[] = "http://www.bing.com/search?q=";

// Runs the stand-in with `arguments`; returns its log, one entry a line.
std::vector<std::string> RunBrowser(const std::string& executable, const std::string& arguments) {
  const std::string command = "\"" + executable + "\" " + arguments;
  const std::string text = test::RunCapturingOutput(command, 90000);
  if (text == "<did not start>") ADD_FAILURE() << "cannot start " << command;
  if (text.size() >= 6 && text.compare(text.size() - 6, 6, "<hung>") == 0) {
    ADD_FAILURE() << "the browser stand-in hung: " << command;
  }
  std::vector<std::string> entries;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    entries.push_back(text.substr(start, end - start));
  }
  return entries;
}

int IndexOf(const std::vector<std::string>& log, const std::string& entry, int from = 0) {
  for (size_t i = static_cast<size_t>(from); i < log.size(); ++i) {
    if (log[i] == entry) return static_cast<int>(i);
  }
  return -1;
}

int CountPrefix(const std::vector<std::string>& log, const std::string& prefix) {
  int count = 0;
  for (const std::string& entry : log) count += entry.compare(0, prefix.size(), prefix) == 0;
  return count;
}

std::string Joined(const std::vector<std::string>& log) {
  std::string all;
  for (const std::string& entry : log) all += entry + "\n";
  return all;
}

class BrowserEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dll_ = test::CopyIntoFolder(test::BuiltDllPath(), kFolder, "quillet.dll");
    std::string ini = test::BuiltDllPath();
    ini.replace(ini.size() - 3, 3, "ini");
    test::CopyIntoFolder(ini.c_str(), kFolder, "quillet.ini");
    browser_ = test::CopyIntoFolder(QUILLET_STANDIN_PATH, kFolder, "iexplore.exe");
    otherHost_ = test::CopyIntoFolder(QUILLET_STANDIN_PATH, kFolder, "browser.exe");
    registered_ = test::RunRegsvr32("/s \"" + dll_ + "\"") == 0;
  }
  static void TearDownTestSuite() {
    test::RunRegsvr32("/u /s \"" + dll_ + "\"");
    for (const char* name : {"quillet.dll", "quillet.ini", "iexplore.exe", "browser.exe"}) {
      test::RemoveFromFolder(kFolder, name);
    }
  }
  void SetUp() override { ASSERT_TRUE(registered_) << "regsvr32 " << dll_; }

  static std::string dll_, browser_, otherHost_;
  static bool registered_;
};

std::string BrowserEndToEnd::dll_, BrowserEndToEnd::browser_, BrowserEndToEnd::otherHost_;
bool BrowserEndToEnd::registered_ = false;

TEST_F(BrowserEndToEnd, TypedTextIsRewrittenInTheRealAddressBar) {
  const auto& cases = test::kAddressBarCases;
  std::string arguments;
  for (const auto& c : cases) arguments += std::string(" --type \"") + c.typed + "\"";
  std::vector<std::string> log = RunBrowser(browser_, arguments);
  EXPECT_EQ(1, CountPrefix(log, "[1] advise ")) << Joined(log);
  for (const auto& c : cases) {
    int typed = IndexOf(log, std::string("[1] type ") + c.typed);
    ASSERT_GE(typed, 0) << c.typed << "\n" << Joined(log);
    EXPECT_EQ(std::string("[1] enter ") + c.bar, log[typed + 1]) << "the browser sees the rewritten text";
    int bar = IndexOf(log, std::string("[1] bar ") + c.bar, typed);
    EXPECT_GT(bar, typed) << c.typed << "\n" << Joined(log);
    EXPECT_EQ(bar + 1 < static_cast<int>(log.size()) ? log[bar + 1] : "", std::string("[1] location ") + c.location);
  }
}

TEST_F(BrowserEndToEnd, OtherHostsAttachNothing) {
  std::vector<std::string> log = RunBrowser(otherHost_, "--type \"cats and dogs\"");
  EXPECT_GE(IndexOf(log, "[1] SetSite 00000000"), 0) << Joined(log);
  EXPECT_EQ(0, CountPrefix(log, "[1] advise")) << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] bar cats and dogs"), 0) << Joined(log);
}

TEST_F(BrowserEndToEnd, BothWorkerWindowsAreRewritten) {
  std::vector<std::string> log =
      RunBrowser(browser_, "--workers 2 --bar 1 --type ww.example.com --bar 2 --type wwww.example.org");
  EXPECT_GE(IndexOf(log, "[1] bar www.example.com"), 0) << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] bar www.example.org"), 0) << Joined(log);
}

TEST_F(BrowserEndToEnd, TwoWindowsEachGetTheirOwnRedirect) {
  std::vector<std::string> log = RunBrowser(
      browser_,
      "--windows 2 --navigate \"1:http://autosearch/response.asp?MT=one&srch=5\" "
      "--navigate \"2:http://auto.search.msn.com/response.asp?MT=two&srch=5\" --type 1:ww.one.com --type 2:ww.two.com");
  EXPECT_GE(IndexOf(log, std::string("[1] arrived ") + kSearch + "one"), 0) << Joined(log);
  EXPECT_GE(IndexOf(log, std::string("[2] arrived ") + kSearch + "two"), 0) << Joined(log);
  EXPECT_EQ(1, CountPrefix(log, "[1] Stop called")) << Joined(log);
  EXPECT_EQ(1, CountPrefix(log, "[2] Stop called")) << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] bar www.one.com"), 0) << Joined(log);
  EXPECT_GE(IndexOf(log, "[2] bar www.two.com"), 0) << Joined(log);
}

TEST_F(BrowserEndToEnd, ToolsMenuOpensTheOptionsDialogOverTheBrowser) {
  char before[4096];
  ReadSetting(kSearchMaskName, before, sizeof before, "");
  std::vector<std::string> log = RunBrowser(browser_, "--tools-menu");
  EXPECT_GE(CountPrefix(log, "[1] tools menu Veltrano Options... 00000000"), 1) << Joined(log);
  EXPECT_EQ(1, CountPrefix(log, "[0] dialog shown Veltrano Options at ")) << Joined(log);
  EXPECT_EQ(1, CountPrefix(log, "[0] dialog owner the chosen window")) << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] Exec returned 00000000"), 0) << Joined(log);
  char after[4096];
  ReadSetting(kSearchMaskName, after, sizeof after, "");
  EXPECT_STREQ(before, after) << "Cancel stores nothing";
}

// The dialog's owner is the window attached last (the stand-in attaches its
// windows in order); once that window is closed, the Tools menu of another
// window still opens the dialog, over that window.
TEST_F(BrowserEndToEnd, ToolsMenuOpensTheDialogAfterTheLastAttachedWindowClosed) {
  std::vector<std::string> log = RunBrowser(browser_, "--windows 2 --quit 2 --tools-menu 1");
  EXPECT_EQ(1, CountPrefix(log, "[0] dialog shown Veltrano Options at ")) << Joined(log);
  EXPECT_EQ(1, CountPrefix(log, "[0] dialog owner the chosen window")) << Joined(log);
  EXPECT_EQ(0, CountPrefix(log, "[0] no dialog appeared")) << Joined(log);
}

// Each window on its own user-interface thread, as in the browser: closing one
// leaves the other's connection alone and removes its own.
TEST_F(BrowserEndToEnd, ClosingOneWindowLeavesTheOthersRedirect) {
  const std::string autosearch = "http://autosearch/response.asp?MT=two&srch=5";
  std::vector<std::string> log =
      RunBrowser(browser_, "--windows 2 --quit 1 --navigate \"2:" + autosearch + "\" --quit 2");
  std::string threads[2];
  for (const std::string& entry : log) {
    for (int w = 0; w < 2; ++w) {
      std::string prefix = "[" + std::to_string(w + 1) + "] thread ";
      if (entry.compare(0, prefix.size(), prefix) == 0) threads[w] = entry.substr(prefix.size());
    }
  }
  EXPECT_NE("", threads[0]) << Joined(log);
  EXPECT_NE(threads[0], threads[1]) << "one thread per window\n" << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] sinks after quit 0"), 0) << Joined(log);
  EXPECT_EQ(IndexOf(log, "[2] event OnQuit") + 1, IndexOf(log, "[2] unadvise 1"))
      << "window 2 stays connected until it quits\n" << Joined(log);
  EXPECT_GE(IndexOf(log, std::string("[2] arrived ") + kSearch + "two"), 0) << Joined(log);
  EXPECT_EQ(1, CountPrefix(log, "[2] Stop called")) << Joined(log);
  EXPECT_GE(IndexOf(log, "[2] sinks after quit 0"), 0) << Joined(log);
  // Nothing left connected or referenced: the module may unload, and of the
  // browsers only the one attached last is still held, in the object's field.
  EXPECT_GE(IndexOf(log, "[2] helper library loaded, DllCanUnloadNow 00000000"), 0) << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] references held 0"), 0) << Joined(log);
  EXPECT_GE(IndexOf(log, "[2] references held 1"), 0) << Joined(log);
  EXPECT_EQ(0, CountPrefix(log, "[0] exception")) << Joined(log);
}

// Once a window lets its helper go, the browser asks COM to unload what
// nobody holds; the address bar still runs the library's code until the
// window is destroyed, so the library must stay.
TEST_F(BrowserEndToEnd, TheLibraryStaysLoadedWhileAnAddressBarRunsItsCode) {
  std::vector<std::string> log = RunBrowser(browser_, "--type ww.example.com --quit 1");
  EXPECT_GE(IndexOf(log, "[1] helper library loaded, DllCanUnloadNow 00000000"), 0) << Joined(log);
  EXPECT_EQ(0, CountPrefix(log, "[0] exception")) << Joined(log);
  EXPECT_GE(IndexOf(log, "[1] closed"), 0) << Joined(log);
  EXPECT_GE(IndexOf(log, "[0] exit"), 0) << Joined(log);
}

}  // namespace
}  // namespace quillet
