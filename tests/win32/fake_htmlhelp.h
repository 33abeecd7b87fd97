// What the stand-in HTML Help library records, and how a test reads it.
#pragma once

#include <windows.h>

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
