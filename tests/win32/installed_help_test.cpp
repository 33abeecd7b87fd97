// Run by the installer test once Quillet is installed: the installed library,
// created through its registration as the browser creates it, opens its
// options dialog from the Tools-menu command, and the dialog's Help button
// asks HTML Help for the installed help file by its full path.
#include <windows.h>
#include <docobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_htmlhelp.h"
#include "html_help_key.h"
#include "quillet_h.h"
#include "res/options_ids.h"
#include "test_paths.h"

namespace quillet {
namespace {

std::string InstalledFolder() {
  char folder[MAX_PATH] = "";
  DWORD size = sizeof folder;
  RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillet",
               "InstallLocation", RRF_RT_REG_SZ, nullptr, folder, &size);
  return folder;
}

bool helpPressed = false;

// Runs inside the dialog's own message loop: Help once the dialog is up, then Cancel.
void CALLBACK PressHelpThenCancel(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Veltrano Options");
  if (dialog == nullptr || GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId()) return;
  KillTimer(nullptr, timer);
  SendMessageA(GetDlgItem(dialog, IDC_OPTIONS_HELP), BM_CLICK, 0, 0);
  helpPressed = true;
  SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}

TEST(InstalledHelpTest, HelpButtonShowsTheInstalledHelpFile) {
  const std::string folder = InstalledFolder();
  ASSERT_FALSE(folder.empty()) << "no InstallLocation in the uninstall entry";
  test::HtmlHelpKeyGuard guard;
  test::HtmlHelpKeyGuard::RegisterPath(test::BesideProgram(kFakeHelpLibrary));

  ASSERT_EQ(S_OK, CoInitialize(nullptr));
  IOleCommandTarget* target = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Veltrano, nullptr, CLSCTX_INPROC_SERVER, IID_IOleCommandTarget,
                                reinterpret_cast<void**>(&target));
  ASSERT_EQ(S_OK, hr) << std::hex << hr;
  char library[MAX_PATH] = "";
  GetModuleFileNameA(GetModuleHandleA("quillet.dll"), library, MAX_PATH);
  EXPECT_STREQ((folder + "\\quillet.dll").c_str(), library) << "the library the registration names";

  UINT_PTR timer = SetTimer(nullptr, 0, 50, PressHelpThenCancel);
  EXPECT_EQ(S_OK, target->Exec(nullptr, 0, 0, nullptr, nullptr));
  KillTimer(nullptr, timer);
  target->Release();
  CoUninitialize();
  ASSERT_TRUE(helpPressed) << "the options dialog did not appear";

  ASSERT_NE(nullptr, GetModuleHandleA(kFakeHelpLibrary)) << "HTML Help was not asked for";
  std::vector<FakeHelpCall> calls = RecordedHelpCalls(kFakeHelpLibrary);
  ASSERT_EQ(1u, calls.size());
  const FakeHelpCall& call = calls[0];
  const std::string helpFile = folder + "\\quillet.chm";
  EXPECT_STREQ(helpFile.c_str(), call.file);
  EXPECT_EQ(0u, call.command) << "HH_DISPLAY_TOPIC";
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(call.file)) << "the help file is installed";
}

}  // namespace
}  // namespace quillet
