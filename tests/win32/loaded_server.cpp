#include "loaded_server.h"

#include "quillet_h.h"

namespace quillet::test {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

LoadedServer::LoadedServer(const char* path) {
  module_ = LoadLibraryA(path);
  if (module_ == nullptr) return;
  auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  if (getClassObject == nullptr) return;
  status_ = getClassObject(CLSID_Veltrano, IID_IClassFactory, reinterpret_cast<void**>(&factory_));
  if (FAILED(status_)) factory_ = nullptr;
}

LoadedServer::~LoadedServer() { FreeFactory(); }

void LoadedServer::FreeFactory() {
  if (factory_ != nullptr) factory_->Release();
  factory_ = nullptr;
}

void* LoadedServer::Create(REFIID riid, HRESULT* result) {
  void* object = nullptr;
  HRESULT hr = factory_ != nullptr ? factory_->CreateInstance(nullptr, riid, &object) : E_FAIL;
  if (result != nullptr) *result = hr;
  return SUCCEEDED(hr) ? object : nullptr;
}

HRESULT STDMETHODCALLTYPE CountingBrowser::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) && !IsEqualIID(riid, IID_IWebBrowser2)) {
    return E_NOINTERFACE;
  }
  *ppv = static_cast<IWebBrowser2*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CountingBrowser::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 1 && onLastRelease != nullptr) onLastRelease(this);
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE CountingBrowser::get_HWND(SHANDLE_PTR* window) {
  if (window == nullptr) return E_POINTER;
  *window = reinterpret_cast<SHANDLE_PTR>(window_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CountingSite::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (IsEqualIID(riid, IID_IUnknown)) {
    *ppv = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  if (IsEqualIID(riid, IID_IWebBrowser2)) {
    InterlockedIncrement(&browserQueries_);
    if (browser_ != nullptr) return browser_->QueryInterface(riid, ppv);
  }
  return E_NOINTERFACE;
}

}  // namespace quillet::test
