// iexplore.exe, the browser stand-in: loads browser helper objects and the
// Tools-menu extension from the registry the way the browser does, then runs
// a script of user actions given on the command line and logs what happens.
// Each browser window has its own user-interface thread, as in the browser:
// the window, its helpers, its events and every action on it live there.
// Closing a window fires OnQuit, lets its helpers go, asks COM to unload the
// libraries nobody holds any more (as the browser does from time to time),
// and only then destroys the window.
//
//   --windows N        browser windows in this process (default 1)
//   --workers N        WorkerW address bars per window (default 1)
//   --no-helpers       load no browser helper objects
//   --type [W:]TEXT    type TEXT into window W's address bar and press Enter
//   --type-file FILE   type each line of FILE ("[W:]TEXT", ANSI bytes), as --type
//   --bar K            later --type options use address bar K (1 = the first WorkerW)
//   --navigate [W:]URL let window W navigate to URL by itself
//   --tools-menu [W]   choose the Tools-menu extension (from window W)
//   --dialog-close-when FILE   close a dialog the extension shows once FILE
//                      exists (default: half a second after it appears)
//   --quit W           close window W now (the rest close at the end)
//   --time-navigations N   navigate window 1 N times to an ordinary address
//                      and log the time each took, quietly
#include <windows.h>
#include <objbase.h>
#include <ocidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "browser/browser_host.h"
#include "standin_browser.h"
#include "thread_dialog.h"
#include "ui_thread.h"

namespace {

using standin::Browser;
using standin::Log;
using standin::UiThread;
namespace host = quillet::browser_host;

struct Window {
  std::unique_ptr<UiThread> thread;
  std::unique_ptr<Browser> browser;  // kept until the end: a helper may hold it past its window
  std::vector<IObjectWithSite*> helpers;
  std::vector<std::string> helperLibraries;
};

std::vector<std::wstring> SubkeyNames(const char* path) {
  std::vector<std::wstring> names;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    if (RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name);
  }
  RegCloseKey(key);
  return names;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += static_cast<char>(c < 128 ? c : '?');
  return out;
}

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(hr));
  return text;
}

double Microseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

std::string Figure(double microseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f us", microseconds);
  return text;
}

// The browser would crash on these; the log shows every one, also where the
// platform would quietly swallow it in a window procedure.
LONG CALLBACK LogFault(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  if ((record->ExceptionCode & 0xF0000000u) == 0xC0000000u) {
    char where[32];
    std::snprintf(where, sizeof where, "%p", record->ExceptionAddress);
    Log(0, "exception", Hex(static_cast<HRESULT>(record->ExceptionCode)) + " at " + where);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

void LoadHelpers(Window& window) {
  for (const std::wstring& name : SubkeyNames(host::kBrowserHelperObjectsKeyPath)) {
    CLSID clsid;
    if (FAILED(CLSIDFromString(name.c_str(), &clsid))) continue;
    IObjectWithSite* helper = nullptr;
    double start = Microseconds();
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                  reinterpret_cast<void**>(&helper));
    if (FAILED(hr)) {
      Log(window.browser->index(), "create helper", Narrow(name) + " " + Hex(hr));
      continue;
    }
    double created = Microseconds();
    hr = helper->SetSite(static_cast<IWebBrowser2*>(window.browser.get()));
    double attached = Microseconds();
    HMODULE module = nullptr;
    char library[MAX_PATH] = "";
    // The helper's library, found from its interface table.
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           *reinterpret_cast<LPCSTR*>(helper), &module)) {
      GetModuleFileNameA(module, library, sizeof library);
    }
    window.helperLibraries.push_back(library);
    Log(window.browser->index(), "create helper", Narrow(name) + " " + Hex(S_OK));
    Log(window.browser->index(), "SetSite", Hex(hr));
    Log(window.browser->index(), "attach time",
        Figure(attached - start) + " (CreateInstance " + Figure(created - start) + ")");
    window.helpers.push_back(helper);
  }
}

// Whether a helper's library is still there, and what it says about unloading.
void LogHelperLibraries(const Window& window) {
  for (const std::string& library : window.helperLibraries) {
    HMODULE module = GetModuleHandleA(library.c_str());
    if (module == nullptr) {
      Log(window.browser->index(), "helper library unloaded");
      continue;
    }
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto canUnloadNow =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    Log(window.browser->index(), "helper library loaded, DllCanUnloadNow",
        canUnloadNow != nullptr ? Hex(canUnloadNow()) : std::string("missing"));
  }
}

// On the window's own thread.
void CloseWindow(Window& window) {
  if (!window.browser || window.browser->frame() == nullptr) return;
  window.browser->SendOnQuit();
  for (IObjectWithSite* helper : window.helpers) {
    helper->SetSite(nullptr);
    helper->Release();
  }
  window.helpers.clear();
  CoFreeUnusedLibraries();
  LogHelperLibraries(window);
  window.browser->DestroyFrame();  // the address bar's box gets its last messages now
  Log(window.browser->index(), "closed");
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TypeInto(Browser& browser, const std::string& text, int bar) {
  HWND edit = browser.edit(bar);
  if (edit == nullptr) {
    Log(browser.index(), "no address bar", std::to_string(bar + 1));
    return;
  }
  Log(browser.index(), "type", text);
  SetWindowTextA(edit, text.c_str());
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  SendMessageA(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
  char shown[4096];
  GetWindowTextA(edit, shown, sizeof shown);
  Log(browser.index(), "bar", shown);
  Log(browser.index(), "location", browser.location());
  Pump();
}

struct DialogWatch {
  DWORD threadId;
  std::string closeWhen;
  HWND frame;  // the window whose Tools menu was chosen
};

DWORD WINAPI WatchDialog(void* parameter) {
  auto* watch = static_cast<DialogWatch*>(parameter);
  HWND dialog = nullptr;
  for (int i = 0; i < 400 && dialog == nullptr; ++i) {
    Sleep(50);
    dialog = quillet::test::VisibleDialogOfThread(watch->threadId);
  }
  if (dialog == nullptr) {
    Log(0, "no dialog appeared");
    return 0;
  }
  char title[256] = "";
  GetWindowTextA(dialog, title, sizeof title);
  RECT rect;
  GetWindowRect(dialog, &rect);
  char where[96];
  std::snprintf(where, sizeof where, "%ld,%ld %ldx%ld", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
  Log(0, "dialog shown", std::string(title) + " at " + where);
  HWND owner = GetWindow(dialog, GW_OWNER);
  Log(0, "dialog owner", owner == nullptr ? "none" : owner == watch->frame ? "the chosen window" : "another window");
  if (watch->closeWhen.empty()) {
    Sleep(500);
  } else {
    for (int i = 0; i < 600 && GetFileAttributesA(watch->closeWhen.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return 0;
}

void ChooseToolsMenu(Browser* owner, const std::string& closeWhen) {
  int index = owner != nullptr ? owner->index() : 0;
  for (const std::wstring& name : SubkeyNames(host::kExtensionsKeyPath)) {
    std::string path = std::string(host::kExtensionsKeyPath) + "\\" + Narrow(name);
    char clsidText[64] = "", extension[64] = "", menuText[256] = "";
    DWORD size = sizeof clsidText;
    RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "Clsid", RRF_RT_REG_SZ, nullptr, clsidText, &size);
    if (lstrcmpiA(clsidText, host::kToolsMenuCommandClass) != 0) continue;
    size = sizeof extension;
    RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "ClsidExtension", RRF_RT_REG_SZ, nullptr, extension, &size);
    size = sizeof menuText;
    RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "MenuText", RRF_RT_REG_SZ, nullptr, menuText, &size);
    wchar_t wide[64];
    MultiByteToWideChar(CP_ACP, 0, extension, -1, wide, 64);
    CLSID clsid;
    if (FAILED(CLSIDFromString(wide, &clsid))) continue;
    IOleCommandTarget* target = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleCommandTarget,
                                  reinterpret_cast<void**>(&target));
    Log(index, "tools menu", std::string(menuText) + " " + Hex(hr));
    if (FAILED(hr)) continue;
    DialogWatch watch = {GetCurrentThreadId(), closeWhen, owner != nullptr ? owner->frame() : nullptr};
    HANDLE watcher = CreateThread(nullptr, 0, WatchDialog, &watch, 0, nullptr);
    hr = target->Exec(nullptr, 0, 0, nullptr, nullptr);
    Log(index, "Exec returned", Hex(hr));
    WaitForSingleObject(watcher, 30000);
    CloseHandle(watcher);
    target->Release();
  }
}

// "[W:]rest": the window number when the argument starts with one.
Window* Split(std::vector<Window>& windows, const std::string& argument, std::string* rest) {
  size_t colon = argument.find(':');
  if (colon != std::string::npos && colon > 0 && colon < 3 &&
      argument.find_first_not_of("0123456789") == colon) {
    size_t index = static_cast<size_t>(std::atoi(argument.substr(0, colon).c_str()));
    *rest = argument.substr(colon + 1);
    return index >= 1 && index <= windows.size() ? &windows[index - 1] : nullptr;
  }
  *rest = argument;
  return windows.empty() ? nullptr : &windows[0];
}

}  // namespace

int main(int argc, char** argv) {
  int windowCount = 1, workerCount = 1;
  bool helpers = true;
  std::string closeWhen;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--windows" && i + 1 < argc) windowCount = std::atoi(argv[++i]);
    else if (option == "--workers" && i + 1 < argc) workerCount = std::atoi(argv[++i]);
    else if (option == "--no-helpers") helpers = false;
    else if (option == "--dialog-close-when" && i + 1 < argc) closeWhen = argv[++i];
  }
  if (windowCount < 1 || windowCount > 8 || workerCount < 0 || workerCount > 4) {
    std::fprintf(stderr, "bad window or worker count\n");
    return 2;
  }
  AddVectoredExceptionHandler(1, LogFault);
  std::vector<Window> windows(static_cast<size_t>(windowCount));
  for (int w = 0; w < windowCount; ++w) {
    Window& window = windows[w];
    window.thread.reset(new UiThread());
    window.thread->Run([&window, w, workerCount, helpers] {
      window.browser.reset(new Browser(w + 1, workerCount));
      Log(w + 1, "thread", std::to_string(GetCurrentThreadId()));
      if (helpers) LoadHelpers(window);
      Pump();
    });
  }
  int bar = 0;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    std::string rest;
    if ((option == "--windows" || option == "--workers" || option == "--dialog-close-when") && i + 1 < argc) {
      ++i;
    } else if (option == "--bar" && i + 1 < argc) {
      bar = std::atoi(argv[++i]) - 1;
    } else if (option == "--type" && i + 1 < argc) {
      if (Window* window = Split(windows, argv[++i], &rest)) {
        window->thread->Run([window, &rest, bar] { TypeInto(*window->browser, rest, bar); });
      }
    } else if (option == "--type-file" && i + 1 < argc) {
      // Lines of bytes in the ANSI code page; a command line could not carry them unchanged.
      if (FILE* file = std::fopen(argv[++i], "rb")) {
        char line[4096];
        while (std::fgets(line, sizeof line, file) != nullptr) {
          line[std::strcspn(line, "\r\n")] = '\0';
          if (Window* window = Split(windows, line, &rest)) {
            window->thread->Run([window, &rest, bar] { TypeInto(*window->browser, rest, bar); });
          }
        }
        std::fclose(file);
      }
    } else if (option == "--navigate" && i + 1 < argc) {
      if (Window* window = Split(windows, argv[++i], &rest)) {
        window->thread->Run([window, &rest] { window->browser->NavigateTo(rest); });
      }
    } else if (option == "--tools-menu") {
      Window* window = &windows[0];
      if (i + 1 < argc && argv[i + 1][0] != '-') window = Split(windows, std::string(argv[++i]) + ":", &rest);
      if (window != nullptr) {
        window->thread->Run([window, &closeWhen] { ChooseToolsMenu(window->browser.get(), closeWhen); });
      }
    } else if (option == "--time-navigations" && i + 1 < argc) {
      int count = std::atoi(argv[++i]);
      if (count > 0) {
        Browser& browser = *windows[0].browser;
        windows[0].thread->Run([&browser, count] {
          browser.SetQuiet(true);
          double start = Microseconds();
          for (int n = 0; n < count; ++n) browser.NavigateTo("http://www.example.com/page.html");
          double each = (Microseconds() - start) / count;
          browser.SetQuiet(false);
          Log(1, "navigation time", Figure(each) + " each over " + std::to_string(count));
        });
      }
    } else if (option == "--quit" && i + 1 < argc) {
      if (Window* window = Split(windows, std::string(argv[++i]) + ":", &rest)) {
        window->thread->Run([window] { CloseWindow(*window); });
      }
    }
  }
  for (Window& window : windows) {
    window.thread->Run([&window] { CloseWindow(window); });
    window.thread.reset();  // its apartment ends with it
  }
  // What the helpers still hold of each browser once every window is gone.
  for (Window& window : windows) {
    Log(window.browser->index(), "references held", std::to_string(window.browser->references()));
  }
  windows.clear();
  Log(0, "exit");
  return 0;
}
