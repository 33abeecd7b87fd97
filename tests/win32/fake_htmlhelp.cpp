// A stand-in for the HTML Help library: ordinal 14 records each call and
// answers with a recognisable window handle. Built once with the entry point
// and once without it.
#include <windows.h>

#include <cstring>

#include "fake_htmlhelp.h"

namespace {

FakeHelpCall calls[kFakeHelpMaxCalls];
LONG callCount = 0;

}  // namespace

extern "C" HWND WINAPI FakeHtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  if (callCount < kFakeHelpMaxCalls) {
    FakeHelpCall& call = calls[callCount];
    call.caller = caller;
    lstrcpynA(call.file, file != nullptr ? file : "<null>", sizeof call.file);
    call.command = command;
    call.data = data;
  }
  ++callCount;
  return kFakeHelpWindow;
}

extern "C" LONG FakeHelpCallCount() { return callCount; }

extern "C" BOOL FakeHelpGetCall(LONG index, FakeHelpCall* call) {
  if (index < 0 || index >= callCount || index >= kFakeHelpMaxCalls) return FALSE;
  *call = calls[index];
  return TRUE;
}
