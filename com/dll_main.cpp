// The library's entry points, each a few lines over the class table;
// quillet.def exports the four Dll* functions by their undecorated names.
#include <windows.h>

#include "com/module.h"
#include "com/registration.h"

using quillet::ClassEntry;
using quillet::serverModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    quillet::AttachModule(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // A reserved argument means the process is ending, not FreeLibrary.
    quillet::DetachModule(reserved != nullptr);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  ClassEntry* entry = quillet::FindCreatableClass(rclsid);
  HRESULT hr = entry != nullptr ? quillet::GetClassObject(*entry, riid, ppv) : S_OK;
  if (*ppv == nullptr && hr == S_OK) hr = CLASS_E_CLASSNOTAVAILABLE;
  return hr;
}

STDAPI DllCanUnloadNow() { return serverModule.lockCount == 0 ? S_OK : S_FALSE; }

// A class with a description is left to whoever registers it.
STDAPI DllRegisterServer() {
  for (ClassEntry* entry = serverModule.classTable; entry->classId != nullptr; ++entry) {
    if (quillet::HasDescription(*entry)) continue;
    HRESULT hr = entry->updateRegistry(TRUE);
    if (SUCCEEDED(hr)) hr = quillet::UpdateClassCategories(*entry->classId, entry->categories, TRUE);
    if (FAILED(hr)) return hr;
  }
  return quillet::RegisterModuleTypeLibrary(nullptr);
}

STDAPI DllUnregisterServer() {
  for (ClassEntry* entry = serverModule.classTable; entry->classId != nullptr; ++entry) {
    if (quillet::HasDescription(*entry)) continue;
    entry->updateRegistry(FALSE);
    quillet::UpdateClassCategories(*entry->classId, entry->categories, FALSE);
  }
  quillet::UnregisterModuleTypeLibrary(nullptr);
  return S_OK;
}
