// Holds the library's object with a site that reports its release, then ends
// either by FreeLibrary or by ending the process, and says what happened.
//   exit_probe DLL free|exit
#include <windows.h>
#include <ocidl.h>

#include <cstring>

#include "quillet_h.h"

namespace {

void Say(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, nullptr);
}

class ReportingSite : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
    return *ppv != nullptr ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override {
    Say("site released\n");
    return 1;
  }
};

ReportingSite site;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HMODULE library = LoadLibraryA(argv[1]);
  auto getClassObject =
      reinterpret_cast<LPFNGETCLASSOBJECT>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  IObjectWithSite* object = nullptr;
  if (getClassObject == nullptr ||
      FAILED(getClassObject(CLSID_Veltrano, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
      FAILED(factory->CreateInstance(nullptr, IID_IObjectWithSite, reinterpret_cast<void**>(&object)))) {
    Say("no object\n");
    return 1;
  }
  object->SetSite(&site);
  object->Release();
  factory->Release();
  if (std::strcmp(argv[2], "free") == 0) {
    FreeLibrary(library);
    Say("freed\n");
    return 0;
  }
  Say("exiting\n");
  ExitProcess(0);
}
