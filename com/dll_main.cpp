// The library entry point. The exports live beside what they serve:
// DllGetClassObject and DllCanUnloadNow in module.cpp, DllRegisterServer and
// DllUnregisterServer in registration.cpp; quillet.def names all four.
#include <windows.h>

#include "com/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    quillet::AttachModule(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // A reserved argument means the process is ending, not FreeLibrary.
    quillet::DetachModule(reserved != nullptr);
  }
  return TRUE;
}
