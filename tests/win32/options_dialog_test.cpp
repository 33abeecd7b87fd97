// The options dialog shown for real under Wine and driven from inside its own
// message loop by thread timers; a dialog still open after a few seconds is
// closed by a watchdog and counts as a failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "fake_htmlhelp.h"
#include "html_help_key.h"
#include "precondition.h"
#include "res/options_ids.h"
#include "settings/engine_list.h"
#include "settings_fixture.h"
#include "temp_file.h"
#include "test_paths.h"
#include "thread_dialog.h"
#include "ui/center.h"
#include "ui/options_dialog.h"

namespace quillet {
namespace {

using test::StoreTextSetting;
using Step = std::function<void(HWND dialog)>;
using Strings = std::vector<std::string>;

::testing::Environment* const codePage = test::RequireBeforeAnyTest(test::WrongCodePage);

Step pendingStep;
bool stepRan = false;
bool watchdogFired = false;

HWND OpenDialog() { return test::VisibleDialogOfThread(GetCurrentThreadId()); }

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = OpenDialog();
  if (dialog == nullptr || stepRan) return;
  KillTimer(nullptr, timer);
  stepRan = true;
  pendingStep(dialog);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND dialog = OpenDialog();
  if (dialog == nullptr) return;
  watchdogFired = true;
  EndDialog(dialog, 3);
}

// Shows the dialog over `owner`, runs `step` inside it once it is up, and
// returns when the dialog has closed.
void RunDialog(HWND owner, Step step) {
  pendingStep = std::move(step);
  stepRan = false;
  watchdogFired = false;
  UINT_PTR stepTimer = SetTimer(nullptr, 0, 50, RunStep);
  UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, Watchdog);
  ShowOptionsDialog(owner);
  KillTimer(nullptr, stepTimer);
  KillTimer(nullptr, watchdog);
  EXPECT_TRUE(stepRan) << "the dialog never showed";
  EXPECT_FALSE(watchdogFired) << "the dialog did not close by itself";
}

Strings ComboItems(HWND dialog) {
  Strings items;
  const LRESULT count = SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[512] = "";
    SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

LRESULT Selection(HWND dialog) { return SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_GETCURSEL, 0, 0); }
void Select(HWND dialog, WPARAM index) { SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_SETCURSEL, index, 0); }
LRESULT CheckState(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0); }
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

const char kAlphaMask[] = "http://alpha.example/search?q=%s";
const char kBetaMask[] = "http://beta.example/?query=%s&lang=ru";
const std::string kTwoEngines =
    std::string("[Engines]\r\nAlpha=") + kAlphaMask + "\r\nBeta=" + kBetaMask + "\r\n";

class OptionsDialogTest : public test::SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    char path[kEngineBufferSize];
    GetEngineListPath(path, sizeof path);
    listPath_ = path;
    std::remove(listPath_.c_str());
  }
  void TearDown() override {
    std::remove(listPath_.c_str());
    SettingsTest::TearDown();
  }
  void WriteList(const std::string& text) { ASSERT_TRUE(test::WriteBytes(listPath_, text)); }
  std::string Stored(const char* name) {
    uint32_t type = 0;
    std::string bytes = test::StoredBytes(name, &type);
    if (bytes[0] == '<') return bytes;  // no key or no value
    EXPECT_EQ(reg::kSz, type) << name;
    EXPECT_EQ('\0', bytes.back()) << name << " is stored with its NUL";
    return bytes.c_str();
  }
  uint32_t StoredValueCount() {
    RegistryApi& registry = ActiveRegistry();
    KeyHandle key(registry);
    if (registry.OpenKey(CurrentUser(), kSettingsKeyPath, reg::kRead, key.CloseAndReceive()) != reg::kSuccess) return 0;
    uint32_t subKeys = 0, values = 0;
    registry.QueryInfoKey(key.get(), &subKeys, &values);
    return values;
  }

  std::string listPath_;
};

TEST_F(OptionsDialogTest, EmptyMaskKeepsTheDefaultItemWithEnginesInFileOrder) {
  WriteList(kTwoEngines + "Nothing=\r\n");
  RunDialog(nullptr, [](HWND dialog) {
    EXPECT_EQ((Strings{kDefaultBehaviourItem, "Alpha", "Beta", "Nothing"}), ComboItems(dialog));
    EXPECT_EQ(0, Selection(dialog)) << "an engine with an empty mask is never selected";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
}

struct SelectionCase {
  const char* what;
  std::string list;
  const char* storedMask;
  LRESULT selected;
};

TEST_F(OptionsDialogTest, StoredMaskSelectsItsEngine) {
  const SelectionCase cases[] = {
      {"exact mask", kTwoEngines, kBetaMask, 2},
      {"case is ignored", kTwoEngines, "HTTP://ALPHA.EXAMPLE/SEARCH?Q=%S", 1},
      {"the last match wins", kTwoEngines + "Gamma=" + kAlphaMask + "\r\nDelta=http://d/?q=%s\r\n", kAlphaMask, 3},
      {"an unlisted mask keeps the default", kTwoEngines, "http://elsewhere.example/?q=%s", 0},
      {"quotes around a listed mask go", "[Engines]\r\nQuoted=\"http://q.example/?q=%s\"\r\n", "http://q.example/?q=%s", 1},
  };
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteList(c.list);
    StoreTextSetting(kSearchMaskName, c.storedMask);
    RunDialog(nullptr, [&](HWND dialog) {
      EXPECT_EQ(c.selected, Selection(dialog));
      Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(c.storedMask, Stored(kSearchMaskName));
  }
}

TEST_F(OptionsDialogTest, OkStoresTheChosenMaskAndTheSwitches) {
  WriteList(kTwoEngines);
  StoreTextSetting(kSpellingWwName, "0");
  RunDialog(nullptr, [](HWND dialog) {
    EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_SPELLING_WW)) << "stored 0";
    EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_SPELLING_WWWW)) << "missing";
    EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_SPELLING_CYRILLIC)) << "missing";
    Select(dialog, 2);
    Click(dialog, IDC_SPELLING_WWWW);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(kBetaMask, Stored(kSearchMaskName));
  EXPECT_EQ("0", Stored(kSpellingWwName));
  EXPECT_EQ("0", Stored(kSpellingWwwwName));
  EXPECT_EQ("1", Stored(kSpellingCyrillicName));
  EXPECT_EQ(4u, StoredValueCount()) << "nothing else is stored, box 205 included";
}

// A switch is on only when it reads exactly 1; the box shows what the rules do.
TEST_F(OptionsDialogTest, ABoxIsCheckedOnlyWhenItsSwitchReadsOne) {
  WriteList(kTwoEngines);
  StoreTextSetting(kSpellingWwName, "2");
  StoreTextSetting(kSpellingWwwwName, "-1");
  StoreTextSetting(kSpellingCyrillicName, "01");
  RunDialog(nullptr, [](HWND dialog) {
    EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_SPELLING_WW)) << "stored 2";
    EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_SPELLING_WWWW)) << "stored -1";
    EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_SPELLING_CYRILLIC)) << "stored 01, read as 1";
    Click(dialog, IDOK);
  });
  EXPECT_EQ("0", Stored(kSpellingWwName)) << "OK must not turn a correction on";
  EXPECT_EQ("0", Stored(kSpellingWwwwName));
  EXPECT_EQ("1", Stored(kSpellingCyrillicName));
}

TEST_F(OptionsDialogTest, OkWithAnUnlistedMaskStoresTheEmptyMask) {
  WriteList(kTwoEngines);
  StoreTextSetting(kSearchMaskName, "http://elsewhere.example/?q=%s");
  RunDialog(nullptr, [](HWND dialog) { Click(dialog, IDOK); });
  EXPECT_EQ("", Stored(kSearchMaskName));
  EXPECT_EQ("1", Stored(kSpellingWwName));
  EXPECT_EQ("1", Stored(kSpellingWwwwName));
  EXPECT_EQ("1", Stored(kSpellingCyrillicName));
}

TEST_F(OptionsDialogTest, ChoosingTheDefaultItemStoresTheEmptyMask) {
  WriteList(kTwoEngines);
  StoreTextSetting(kSearchMaskName, kAlphaMask);
  RunDialog(nullptr, [](HWND dialog) {
    EXPECT_EQ(1, Selection(dialog));
    Select(dialog, 0);
    Click(dialog, IDOK);
  });
  EXPECT_EQ("", Stored(kSearchMaskName));
}

TEST_F(OptionsDialogTest, WithoutAListTheErrorItemIsSelectedAndOkKeepsTheMask) {
  StoreTextSetting(kSearchMaskName, "http://kept.example/?q=%s");
  RunDialog(nullptr, [](HWND dialog) {
    EXPECT_EQ((Strings{kDefaultBehaviourItem, kMissingListItem}), ComboItems(dialog));
    EXPECT_EQ(1, Selection(dialog));
    Click(dialog, IDC_SPELLING_CYRILLIC);
    Click(dialog, IDOK);
  });
  EXPECT_EQ("http://kept.example/?q=%s", Stored(kSearchMaskName));
  EXPECT_EQ("1", Stored(kSpellingWwName));
  EXPECT_EQ("1", Stored(kSpellingWwwwName));
  EXPECT_EQ("0", Stored(kSpellingCyrillicName));
}

TEST_F(OptionsDialogTest, AListWithoutEnginesShowsTheErrorItem) {
  WriteList("[Engines]\r\n; none yet\r\n[Other]\r\nAlpha=x\r\n");
  RunDialog(nullptr, [](HWND dialog) {
    EXPECT_EQ((Strings{kDefaultBehaviourItem, kMissingListItem}), ComboItems(dialog));
    EXPECT_EQ(1, Selection(dialog));
    Click(dialog, IDCANCEL);
  });
}

TEST_F(OptionsDialogTest, CancelEscAndTheCloseBoxStoreNothing) {
  struct Closing {
    const char* what;
    void (*close)(HWND dialog);
  };
  const Closing closings[] = {
      {"Cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }},
      {"Esc", [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  WriteList(kTwoEngines);
  for (const Closing& closing : closings) {
    SCOPED_TRACE(closing.what);
    StoreTextSetting(kSearchMaskName, kAlphaMask);
    RunDialog(nullptr, [&](HWND dialog) {
      Select(dialog, 2);
      Click(dialog, IDC_SPELLING_WW);
      Click(dialog, IDC_SPELLING_WWWW);
      closing.close(dialog);
    });
    EXPECT_EQ(kAlphaMask, Stored(kSearchMaskName));
    EXPECT_EQ(1u, StoredValueCount());
  }
}

TEST_F(OptionsDialogTest, SkipTypedListBoxIsDisabledAndUnchecked) {
  WriteList(kTwoEngines);
  RunDialog(nullptr, [](HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_SKIP_TYPED_LIST);
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(IsWindowEnabled(box));
    EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_SKIP_TYPED_LIST));
    Click(dialog, IDCANCEL);
  });
}

TEST_F(OptionsDialogTest, HelpOpensTheHelpFileAndLeavesTheDialogOpen) {
  test::HtmlHelpKeyGuard guard;
  test::HtmlHelpKeyGuard::RegisterPath(test::BesideProgram(kFakeHelpLibrary));
  WriteList(kTwoEngines);
  HWND shown = nullptr;
  bool openAfterHelp = false;
  RunDialog(nullptr, [&](HWND dialog) {
    shown = dialog;
    Click(dialog, IDC_OPTIONS_HELP);
    openAfterHelp = IsWindow(dialog) && OpenDialog() == dialog;
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(openAfterHelp);
  ASSERT_NE(nullptr, GetModuleHandleA(kFakeHelpLibrary)) << "the registered HTML Help library was not loaded";
  std::vector<FakeHelpCall> calls = RecordedHelpCalls(kFakeHelpLibrary);
  ASSERT_EQ(1u, calls.size());
  const FakeHelpCall& call = calls[0];
  EXPECT_EQ(shown, call.caller);
  std::string expected = test::ProgramPath();
  expected = expected.substr(0, expected.find_last_of('.')) + ".chm";
  EXPECT_STREQ(expected.c_str(), call.file);
  EXPECT_EQ(0u, call.command);
  EXPECT_EQ(0u, call.data);
  EXPECT_EQ(0u, StoredValueCount());
}

ScreenRect WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// Where the dialog goes is CenteredPosition's rule (center_test holds its
// table); here, that the real dialog is put where the rule says, over the
// desktop and over owners inside and outside the work area.
TEST_F(OptionsDialogTest, TheDialogGoesWhereTheCentringRuleSays) {
  RECT area = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const ScreenRect workArea = {area.left, area.top, area.right, area.bottom};
  const struct {
    const char* what;
    bool owned;
    int x, y;
  } cases[] = {
      {"no owner: the desktop", false, 0, 0},
      {"an owner inside", true, 200, 150},
      {"an owner far left", true, area.left - 700, 150},
      {"an owner far down", true, 200, area.bottom - 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HWND owner = c.owned ? CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, c.x, c.y, 800, 600, nullptr,
                                           nullptr, nullptr, nullptr)
                         : nullptr;
    ScreenRect placed = {};
    RunDialog(owner, [&](HWND dialog) {
      placed = WindowRect(dialog);
      Click(dialog, IDCANCEL);
    });
    const ScreenRect reference = WindowRect(owner != nullptr ? owner : GetDesktopWindow());
    if (owner != nullptr) DestroyWindow(owner);
    const ScreenPoint expected = CenteredPosition(placed, reference, workArea);
    EXPECT_EQ(expected.x, placed.left);
    EXPECT_EQ(expected.y, placed.top);
  }
}

}  // namespace
}  // namespace quillet
