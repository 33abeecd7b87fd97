// The built library as a browser with several windows drives it: windows on
// threads of their own, other add-ons' procedures under its boxes, a frame
// in another process, SetSite racing on two threads, and COM freeing the
// library. Runs in a program whose name holds "iexplore.exe".
#include <gtest/gtest.h>

#include <windows.h>
#include <exdispid.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "../settings_fixture.h"
#include "bound_procedures.h"
#include "browser/address_edit.h"
#include "loaded_server.h"
#include "quillet_h.h"
#include "server_support.h"
#include "standin_browser.h"
#include "thread_dialog.h"
#include "ui_thread.h"

namespace quillet {
namespace {

using standin::Browser;
using standin::UiThread;
using test::CountingBrowser;
using test::CountingSite;
using test::Bind;
using test::boundSlots;
using test::kProbeMessage;
using test::LoadedServer;

constexpr char kMask[] = "http://e.com/search?q=%s";
class CoexistenceTest : public test::SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    WriteSetting(kSearchMaskName, kMask);
    ASSERT_TRUE(server_.loaded()) << test::BuiltDllPath();
    site_ = static_cast<IObjectWithSite*>(server_.Create(IID_IObjectWithSite));
    ASSERT_NE(nullptr, site_);
  }
  void TearDown() override {
    if (site_ != nullptr) site_->Release();
    SettingsTest::TearDown();
  }
  // A stand-in window made, attached and later closed on `thread`.
  Browser* OpenWindow(UiThread& thread, int index) {
    Browser* browser = nullptr;
    thread.Run([&] { browser = new Browser(index, 1); });
    return browser;
  }
  void Attach(UiThread& thread, Browser* browser) {
    thread.Run([&] { EXPECT_EQ(S_OK, site_->SetSite(static_cast<IWebBrowser2*>(browser))); });
  }
  void Close(UiThread& thread, Browser* browser) {
    thread.Run([&] {
      browser->CloseFrame();
      delete browser;
    });
  }
  // Browsers outlive the object's hold on them: it lets the last one go at
  // a SetSite whose site is no browser.
  void LetGoOfBrowsers() {
    CountingSite plain;
    site_->SetSite(&plain);
    site_->SetSite(nullptr);
  }

  LoadedServer server_{test::BuiltDllPath()};
  IObjectWithSite* site_ = nullptr;
};

TEST_F(CoexistenceTest, EachBoxHandsOnToItsOwnPreviousProcedure) {
  UiThread threads[2];
  Browser* windows[2];
  for (int n = 0; n < 2; ++n) {
    windows[n] = OpenWindow(threads[n], n + 1);
    threads[n].Run([&] { Bind(n, windows[n]->edit()); });
    Attach(threads[n], windows[n]);
  }
  for (int n = 0; n < 2; ++n) {
    SendMessageA(windows[n]->edit(), kProbeMessage, 0, 0);
    EXPECT_EQ(1, boundSlots[n].probes) << "window " << n + 1;
  }
  EXPECT_EQ(0, boundSlots[0].strayCalls + boundSlots[1].strayCalls);

  // Window 2 goes, and its bound procedure with it.
  threads[1].Run([&] { DestroyWindow(windows[1]->frame()); });
  test::Unbind(1);
  threads[0].Run([&] {
    SetWindowTextA(windows[0]->edit(), "cats and dogs");
    SendMessageA(windows[0]->edit(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  });
  EXPECT_EQ("http://e.com/search?q=cats and dogs", windows[0]->location());
  EXPECT_EQ(0, boundSlots[1].strayCalls) << "window 1's messages reached window 2's freed procedure";
  for (int n = 0; n < 2; ++n) Close(threads[n], windows[n]);
  LetGoOfBrowsers();
}

// The frame of a browser in another process: what a tab process sees.
constexpr char kForeignFrameFile[] = "QUILLET_FOREIGN_FRAME_FILE";

TEST(ForeignFrameHost, Serve) {
  const char* file = std::getenv(kForeignFrameFile);
  if (file == nullptr) GTEST_SKIP() << "only as the other process of ATabProcessLeavesTheFramesBoxAlone";
  Browser browser(9, 1);
  FILE* out = std::fopen(file, "w");
  ASSERT_NE(nullptr, out);
  std::fprintf(out, "%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(browser.frame())));
  std::fclose(out);
  // Until the test deletes the file, at most a minute.
  for (int i = 0; i < 600 && GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES; ++i) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(100);
  }
}

TEST_F(CoexistenceTest, ATabProcessLeavesTheFramesBoxAlone) {
  // Our own window first: its box must keep handing on to its own procedure.
  Browser own(1, 1);
  Bind(0, own.edit());
  ASSERT_EQ(S_OK, site_->SetSite(static_cast<IWebBrowser2*>(&own)));

  char folder[MAX_PATH], file[MAX_PATH];
  ASSERT_NE(0u, GetTempPathA(sizeof folder, folder));
  ASSERT_NE(0u, GetTempFileNameA(folder, "qff", 0, file));
  DeleteFileA(file);
  SetEnvironmentVariableA(kForeignFrameFile, file);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command = std::string("\"") + self + "\" --gtest_filter=ForeignFrameHost.Serve";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  SetEnvironmentVariableA(kForeignFrameFile, nullptr);
  unsigned long long handle = 0;
  for (int i = 0; i < 300 && handle == 0; ++i) {
    Sleep(100);
    if (FILE* in = std::fopen(file, "r")) {
      if (std::fscanf(in, "%llu", &handle) != 1) handle = 0;
      std::fclose(in);
    }
  }
  HWND frame = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  HWND edit = frame;
  for (const char* name : {"WorkerW", "ReBarWindow32", "ComboBoxEx32", "ComboBox", "Edit"}) {
    edit = FindWindowExA(edit, nullptr, name, nullptr);
  }
  EXPECT_NE(nullptr, edit) << "the other process's address bar";
  LONG_PTR foreignProc = GetWindowLongPtrA(edit, GWLP_WNDPROC);

  CountingBrowser foreign(frame);
  CountingSite foreignSite(&foreign);
  EXPECT_EQ(S_OK, site_->SetSite(&foreignSite));
  EXPECT_EQ(nullptr, GetPropA(edit, kAddressEditMark)) << "a box we could not subclass is marked";
  EXPECT_EQ(foreignProc, GetWindowLongPtrA(edit, GWLP_WNDPROC));

  boundSlots[0].probes = 0;
  SendMessageA(own.edit(), kProbeMessage, 0, 0);
  EXPECT_EQ(1, boundSlots[0].probes) << "our own box lost its previous procedure";
  SetWindowTextA(own.edit(), "ww.example.com");
  SendMessageA(own.edit(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  EXPECT_EQ("http://www.example.com/", own.location());

  DeleteFileA(file);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  own.SendOnQuit();
  LetGoOfBrowsers();
  EXPECT_EQ(1, foreign.references());
  EXPECT_EQ(1, foreignSite.references());
}

// Two windows' threads attach and detach together, while a third reads the site.
struct RaceSide {
  IObjectWithSite* object;
  CountingSite* site;
  int rounds;
};

DWORD WINAPI AttachAndDetach(void* parameter) {
  auto* side = static_cast<RaceSide*>(parameter);
  for (int i = 0; i < side->rounds; ++i) {
    side->object->SetSite(side->site);
    side->object->SetSite(nullptr);
  }
  return 0;
}

DWORD WINAPI ReadSite(void* parameter) {
  auto* side = static_cast<RaceSide*>(parameter);
  for (int i = 0; i < side->rounds; ++i) {
    IUnknown* held = nullptr;
    if (SUCCEEDED(side->object->GetSite(IID_IUnknown, reinterpret_cast<void**>(&held))) && held != nullptr) {
      held->Release();
    }
  }
  return 0;
}

TEST_F(CoexistenceTest, SetSiteOnTwoThreadsKeepsEveryCountExact) {
  constexpr int kRounds = 40000;
  CountingBrowser browsers[2];
  CountingSite sites[2] = {CountingSite(&browsers[0]), CountingSite(&browsers[1])};
  RaceSide sides[3] = {{site_, &sites[0], kRounds}, {site_, &sites[1], kRounds}, {site_, nullptr, kRounds}};
  HANDLE threads[3];
  for (int n = 0; n < 3; ++n) threads[n] = CreateThread(nullptr, 0, n < 2 ? AttachAndDetach : ReadSite, &sides[n], 0, nullptr);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(3, threads, TRUE, 120000));
  for (HANDLE thread : threads) CloseHandle(thread);
  LetGoOfBrowsers();
  for (int n = 0; n < 2; ++n) {
    EXPECT_EQ(1, sites[n].references()) << "site " << n + 1;
    EXPECT_EQ(1, browsers[n].references()) << "browser " << n + 1;
  }
}

// Tools > Options in window 1 while window 2, on another thread, was attached last.
struct DialogSeen {
  DWORD thread;
  HWND owner = nullptr;
  BOOL ownEnabled = TRUE, otherEnabled = FALSE;
  HWND own = nullptr, other = nullptr;
};

DWORD WINAPI WatchAndCancelDialog(void* parameter) {
  auto* seen = static_cast<DialogSeen*>(parameter);
  for (int i = 0; i < 200; ++i) {
    Sleep(50);
    HWND dialog = test::VisibleDialogOfThread(seen->thread);
    if (dialog == nullptr) continue;
    seen->owner = GetWindow(dialog, GW_OWNER);
    seen->ownEnabled = IsWindowEnabled(seen->own);
    seen->otherEnabled = IsWindowEnabled(seen->other);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  return 1;
}

TEST_F(CoexistenceTest, TheOptionsDialogIsOwnedByTheCallersWindow) {
  UiThread threads[2];
  Browser* windows[2];
  for (int n = 0; n < 2; ++n) {
    windows[n] = OpenWindow(threads[n], n + 1);
    Attach(threads[n], windows[n]);
  }
  auto* target = static_cast<IOleCommandTarget*>(server_.Create(IID_IOleCommandTarget));
  ASSERT_NE(nullptr, target);
  DialogSeen seen;
  seen.thread = threads[0].id();
  seen.own = windows[0]->frame();
  seen.other = windows[1]->frame();
  HANDLE watcher = CreateThread(nullptr, 0, WatchAndCancelDialog, &seen, 0, nullptr);
  HRESULT hr = E_FAIL;
  threads[0].Run([&] { hr = target->Exec(nullptr, 0, 0, nullptr, nullptr); });
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(watcher, 15000));
  CloseHandle(watcher);
  EXPECT_EQ(S_OK, hr);
  EXPECT_EQ(windows[0]->frame(), seen.owner) << "window 2 is " << windows[1]->frame();
  EXPECT_FALSE(seen.ownEnabled) << "the user's own window stays enabled under the dialog";
  EXPECT_TRUE(seen.otherEnabled) << "the other thread's window was disabled";
  target->Release();
  for (int n = 0; n < 2; ++n) Close(threads[n], windows[n]);
  LetGoOfBrowsers();
}

// COM frees the library once the window it held is closed. Its browser's
// last release waits for a new thread, which starts only when no thread
// holds the loader lock: were it released inside DllMain, it would wait.
bool releasedUnderLoaderLock = false;

DWORD WINAPI NothingToDo(void*) { return 0; }

void ReleaseWaitsForAThread(CountingBrowser*) {
  HANDLE thread = CreateThread(nullptr, 0, NothingToDo, nullptr, 0, nullptr);
  if (thread == nullptr) return;
  if (WaitForSingleObject(thread, 2000) != WAIT_OBJECT_0) releasedUnderLoaderLock = true;
  CloseHandle(thread);
}

TEST(LibraryUnload, AWindowWithoutAnAddressBarIsNeverReleasedInsideDllMain) {
  WNDCLASSA plain = {};
  plain.lpfnWndProc = DefWindowProcA;
  plain.lpszClassName = "QuilletPlainFrame";
  RegisterClassA(&plain);
  HWND frame = CreateWindowExA(0, "QuilletPlainFrame", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               nullptr, nullptr);
  CountingBrowser browser(frame);
  browser.onLastRelease = ReleaseWaitsForAThread;
  CountingSite site(&browser);
  FARPROC inside = nullptr;
  {
    LoadedServer server(test::BuiltDllPath());
    ASSERT_TRUE(server.loaded());
    auto* object = static_cast<IObjectWithSite*>(server.Create(IID_IObjectWithSite));
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(S_OK, object->SetSite(&site));
    IDispatch* sink = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink)));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    sink->Invoke(DISPID_ONQUIT, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    sink->Release();
    object->SetSite(nullptr);
    object->Release();
    server.FreeFactory();
    inside = GetProcAddress(server.module(), "DllCanUnloadNow");
    FreeLibrary(server.module());  // what CoFreeUnusedLibraries does once DllCanUnloadNow says S_OK
  }
  EXPECT_FALSE(releasedUnderLoaderLock) << "the browser was released inside DllMain";
  HMODULE stillThere = nullptr;
  EXPECT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCSTR>(inside), &stillThere))
      << "the library was freed while it held a browser";
  EXPECT_EQ(2, browser.references()) << "held by the library, which keeps the browser attached last";
  EXPECT_EQ(1, site.references());
  DestroyWindow(frame);
}

}  // namespace
}  // namespace quillet
