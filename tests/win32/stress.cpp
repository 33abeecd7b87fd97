// A day of browsing in minutes: windows on eight threads open, attach the
// built library, type into the address bar, press Enter, go to autosearch
// addresses and close, over and over, with procedures bound to one window
// under and over some boxes, and windows closing while others type. Each
// window loads and frees the library as COM does. Fails on a wrong page, a
// call that reached another window's procedure, a hang, a browser or site
// still held at the end, or handles or private bytes that grow.
//   stress_iexplore SECONDS [DLL]
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bound_procedures.h"
#include "loaded_server.h"
#include "settings/settings.h"
#include "server_support.h"
#include "standin_browser.h"

namespace {

using quillet::test::Bind;
using quillet::test::CountingSite;
using quillet::test::StrayCalls;
using quillet::test::Unbind;
using quillet::test::LoadedServer;
using standin::Browser;

constexpr int kThreads = 8;
static_assert(kThreads * 2 <= quillet::test::kBoundSlots, "two bound slots a thread");
constexpr char kMask[] = "http://e.com/search?q=%s";
// Growth allowed between the two samples: a little for the platform's own
// caches, plus a share per window that a leak of a handle, or of a few
// hundred bytes, a window would pass.
constexpr double kHandleSlack = 8, kHandlesPer1000 = 2;
constexpr double kByteSlack = 1024.0 * 1024, kBytesPer1000 = 256.0 * 1024;

const char* libraryPath = nullptr;
DWORD deadline = 0;
std::atomic<long> lifetimes{0};
std::atomic<long> wrongPages{0};
std::atomic<long> failedLoads{0};
// Wine's edit boxes lay out text through a script cache that is not safe on
// two threads at once (it faults inside gdi32): boxes are made, filled,
// painted and destroyed one at a time; the rest runs on all threads at once.
CRITICAL_SECTION typing;

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void Expect(Browser& browser, const char* url) {
  if (browser.location() != url) {
    if (++wrongPages <= 5) std::printf("window %d: at \"%s\", expected \"%s\"\n", browser.index(), browser.location().c_str(), url);
  }
}

// Browsers are deleted once nothing holds them: the library keeps the one
// attached last until another replaces it, maybe on another thread.
void Sweep(std::vector<Browser*>& closed) {
  for (size_t i = 0; i < closed.size();) {
    if (closed[i]->references() == 0) {
      delete closed[i];
      closed[i] = closed.back();
      closed.pop_back();
    } else {
      ++i;
    }
  }
}

struct Worker {
  int index;
  std::vector<Browser*> closed;
};

void OneWindow(Worker& worker, long serial) {
  LoadedServer server(libraryPath);
  auto* object = static_cast<IObjectWithSite*>(server.Create(IID_IObjectWithSite));
  if (object == nullptr) {
    ++failedLoads;
    return;
  }
  // Two bound slots a thread, reused window after window, so that a call
  // still going to a slot after its window is gone is seen.
  const int under = (worker.index - 1) * 2, over = under + 1;
  EnterCriticalSection(&typing);
  auto* browser = new Browser(worker.index * 100000 + static_cast<int>(serial % 100000), 1 + serial % 2, true);
  LeaveCriticalSection(&typing);
  HWND edit = browser->edit();
  if (serial % 3 == 0) Bind(under, edit);
  object->SetSite(static_cast<IWebBrowser2*>(browser));
  if (serial % 3 == 1) Bind(over, edit);
  if (serial % 5 == 0) object->SetSite(static_cast<IWebBrowser2*>(browser));  // attached again

  EnterCriticalSection(&typing);
  SetWindowTextA(edit, "cats and dogs");
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  Expect(*browser, "http://e.com/search?q=cats and dogs");
  SetWindowTextA(edit, "ww.example.com");
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  Expect(*browser, "http://www.example.com/");
  PumpMessages();
  LeaveCriticalSection(&typing);
  browser->NavigateTo("http://autosearch/response.asp?MT=weather&srch=5");
  Expect(*browser, "http://e.com/search?q=weather");

  browser->SendOnQuit();
  object->SetSite(nullptr);
  object->Release();
  EnterCriticalSection(&typing);
  browser->DestroyFrame();
  LeaveCriticalSection(&typing);
  Unbind(under);
  Unbind(over);
  server.FreeFactory();
  FreeLibrary(server.module());  // COM's own FreeLibrary once the object is gone
  worker.closed.push_back(browser);
  Sweep(worker.closed);
}

DWORD WINAPI WorkerMain(void* parameter) {
  auto& worker = *static_cast<Worker*>(parameter);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  while (static_cast<LONG>(GetTickCount() - deadline) < 0) {
    OneWindow(worker, lifetimes.load());
    ++lifetimes;
    EnterCriticalSection(&typing);
    PumpMessages();
    LeaveCriticalSection(&typing);
  }
  CoUninitialize();
  return 0;
}

struct Sample {
  long lifetimes;
  DWORD handles;
  SIZE_T privateBytes;
};

Sample Measure() {
  Sample sample{lifetimes.load(), 0, 0};
  GetProcessHandleCount(GetCurrentProcess(), &sample.handles);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    // Wine leaves PrivateUsage 0; its commit charge is the same figure.
    sample.privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
  }
  // Wine counts no handles either; a new handle takes the lowest free slot
  // of the table, so its value grows with the handles left open.
  if (sample.handles == 0) {
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    sample.handles = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(probe) / 4);
    CloseHandle(probe);
  }
  return sample;
}

}  // namespace

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::atol(argv[1]) : 30;
  libraryPath = argc > 2 ? argv[2] : quillet::test::BuiltDllPath();
  quillet::WriteSetting(quillet::kSearchMaskName, kMask);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  InitializeCriticalSection(&typing);

  delete new Browser(0, 1, true);  // the stand-in registers its window classes once, here
  deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  Worker workers[kThreads];
  HANDLE threads[kThreads];
  for (int t = 0; t < kThreads; ++t) {
    workers[t].index = t + 1;
    threads[t] = CreateThread(nullptr, 0, WorkerMain, &workers[t], 0, nullptr);
  }
  // Both samples are taken while all windows' threads run, so that the
  // threads' own stacks and heaps count in each.
  // The first sample once a quarter of the run is over (caches warm), on a
  // fast machine or an emulated one alike.
  const DWORD warm = GetTickCount() + static_cast<DWORD>(seconds) * 250;
  Sample first{0, 0, 0}, last{0, 0, 0};
  bool measured = false;
  while (WaitForMultipleObjects(kThreads, threads, TRUE, 200) == WAIT_TIMEOUT) {
    if (!measured && static_cast<LONG>(GetTickCount() - warm) >= 0) {
      first = Measure();
      measured = true;
    } else if (measured && static_cast<LONG>(GetTickCount() - deadline) < -300) {
      last = Measure();
    }
    if (static_cast<LONG>(GetTickCount() - deadline) > 60000) {
      std::printf("FAIL  hung: windows still open a minute past the end\n");
      std::fflush(stdout);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
  for (HANDLE thread : threads) CloseHandle(thread);
  const long total = lifetimes.load();

  // A site that is no browser makes the library let go of the last browser.
  CountingSite plain;
  LoadedServer server(libraryPath);
  if (auto* object = static_cast<IObjectWithSite*>(server.Create(IID_IObjectWithSite))) {
    object->SetSite(&plain);
    object->SetSite(nullptr);
    object->Release();
  }
  server.FreeFactory();
  long stillHeld = 0;
  for (Worker& worker : workers) {
    Sweep(worker.closed);
    stillHeld += static_cast<long>(worker.closed.size());
  }
  const long siteHeld = plain.references() - 1;

  int passed = 0, failed = 0;
  auto check = [&](bool ok, const char* what) {
    std::printf("%s  %s\n", ok ? "ok  " : "FAIL", what);
    ++(ok ? passed : failed);
  };
  std::printf("window lifetimes: %ld on %d threads in %ld s\n", total, kThreads, seconds);
  const double between = static_cast<double>(last.lifetimes - first.lifetimes);
  if (measured && between >= 20) {
    const double per1000 = 1000.0 / between;
    const double handles = static_cast<double>(last.handles) - first.handles;
    const double bytes = static_cast<double>(last.privateBytes) - static_cast<double>(first.privateBytes);
    const double handleGrowth = handles * per1000, byteGrowth = bytes * per1000;
    std::printf("handles: %lu after %ld lifetimes, %lu after %ld: %+.1f per 1000 lifetimes\n", first.handles,
                first.lifetimes, last.handles, last.lifetimes, handleGrowth);
    std::printf("private bytes: %lu KiB after %ld lifetimes, %lu KiB after %ld: %+.1f KiB per 1000 lifetimes\n",
                static_cast<unsigned long>(first.privateBytes / 1024), first.lifetimes,
                static_cast<unsigned long>(last.privateBytes / 1024), last.lifetimes, byteGrowth / 1024);
    check(handles <= kHandleSlack + kHandlesPer1000 * between / 1000,
          "handle count flat (8 more at most, and 2 per 1000 window lifetimes)");
    check(bytes <= kByteSlack + kBytesPer1000 * between / 1000,
          "private bytes flat (1 MiB more at most, and 256 KiB per 1000 window lifetimes)");
  } else {
    check(false, "at least 20 window lifetimes between the two samples");
  }
  check(wrongPages == 0, "every Enter and autosearch reached its page");
  check(StrayCalls() == 0, "no box's message reached another window's procedure");
  check(failedLoads == 0, "the library loaded and created its object for every window");
  check(stillHeld == 0, "every browser released at the end");
  check(siteHeld == 0, "every site released at the end");
  CoUninitialize();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
