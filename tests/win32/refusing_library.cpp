// A library that refuses registration, for the installer's failure path: its
// DllRegisterServer writes a key and then fails, as a registration that
// breaks half way does, so only the installer's call of DllUnregisterServer
// can take the key away again.
#include <windows.h>
#include <olectl.h>

namespace {
constexpr char kKey[] = "Quillet.RefusingTest";
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
  return SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kKey);
  return S_OK;
}
