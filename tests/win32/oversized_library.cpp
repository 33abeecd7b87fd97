// A library with the four server exports, system imports only and 64 KiB of
// data: more than either build's size limit, so tools/check-dll-file must
// refuse it for its size alone.
#include <windows.h>

extern "C" __attribute__((used)) const char oversizedPadding[64 * 1024] = {1};

STDAPI DllCanUnloadNow() { return S_OK; }

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* ppv) {
  *ppv = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer() { return E_NOTIMPL; }

STDAPI DllUnregisterServer() { return E_NOTIMPL; }
