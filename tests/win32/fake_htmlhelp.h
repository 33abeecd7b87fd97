// What the stand-in HTML Help library records, and how a test reads it.
#pragma once

#include <windows.h>

#include <vector>

struct FakeHelpCall {
  HWND caller;
  char file[MAX_PATH];
  UINT command;
  DWORD_PTR data;
};

constexpr LONG kFakeHelpMaxCalls = 16;
inline HWND const kFakeHelpWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x4242));
constexpr char kFakeHelpLibrary[] = "quillet_fake_htmlhelp.dll";
constexpr char kFakeHelpNoEntryLibrary[] = "quillet_fake_noentry.dll";

using FakeHelpCallCountProc = LONG (*)();
using FakeHelpGetCallProc = BOOL (*)(LONG, FakeHelpCall*);

// The calls that the stand-in `library`, loaded in this process, has recorded;
// none when it is not loaded.
inline std::vector<FakeHelpCall> RecordedHelpCalls(const char* library) {
  std::vector<FakeHelpCall> calls;
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) return calls;
  auto count = reinterpret_cast<FakeHelpCallCountProc>(reinterpret_cast<void*>(GetProcAddress(module, "FakeHelpCallCount")));
  auto get = reinterpret_cast<FakeHelpGetCallProc>(reinterpret_cast<void*>(GetProcAddress(module, "FakeHelpGetCall")));
  if (count == nullptr || get == nullptr) return calls;
  for (LONG i = 0; i < count(); ++i) {
    FakeHelpCall call = {};
    if (get(i, &call)) calls.push_back(call);
  }
  return calls;
}
