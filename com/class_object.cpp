#include "com/class_object.h"

#include "com/interface_table.h"
#include "com/module.h"
#include "platform/process_heap.h"

namespace quillet {
namespace {

const InterfaceRow classObjectInterfaces[] = {
    {&IID_IClassFactory, InterfaceOffset<SingletonClassObject, IClassFactory>()},
};

}  // namespace

SingletonClassObject::SingletonClassObject() : count_(0) { InitializeCriticalSection(&countLock_); }

SingletonClassObject::~SingletonClassObject() {
  // Held at 1 so that a call coming back in during the disconnect cannot free us twice.
  count_ = 1;
  CoDisconnectObject(object_.Identity(), 0);
  DeleteCriticalSection(&countLock_);
  // A browser's last release may wait for one of its threads, which waits
  // for the loader lock that DllMain holds: what the object still holds then
  // is let go of without a call. (The library pins itself before it takes a
  // site, so this is a library that never had one.)
  if (ModuleDetaching()) object_.helper.Abandon();
  // object_ is destroyed after this body: it releases browser, then site.
}

STDMETHODIMP SingletonClassObject::QueryInterface(REFIID riid, void** ppv) {
  return QueryInterfaceTable(this, classObjectInterfaces, ARRAYSIZE(classObjectInterfaces), riid, ppv);
}

// The class table's own reference holds no module lock; all outside
// references together hold exactly one.
STDMETHODIMP_(ULONG) SingletonClassObject::AddRef() {
  EnterCriticalSection(&countLock_);
  LONG count = InterlockedIncrement(&count_);
  if (count == 2) LockModule();
  LeaveCriticalSection(&countLock_);
  return static_cast<ULONG>(count);
}

STDMETHODIMP_(ULONG) SingletonClassObject::Release() {
  EnterCriticalSection(&countLock_);
  LONG count = InterlockedDecrement(&count_);
  LeaveCriticalSection(&countLock_);
  if (count == 0) {
    HeapDelete(this);
  } else if (count == 1) {
    UnlockModule();
  }
  return static_cast<ULONG>(count);
}

STDMETHODIMP SingletonClassObject::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  return object_.QueryInterface(riid, ppv);
}

STDMETHODIMP SingletonClassObject::LockServer(BOOL fLock) {
  if (fLock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

HRESULT CreateVeltranoClassObject(REFIID riid, void** ppv) {
  SingletonClassObject* classObject = HeapNew<SingletonClassObject>();
  if (classObject == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = classObject->QueryInterface(riid, ppv);
  if (FAILED(hr)) HeapDelete(classObject);
  return hr;
}

}  // namespace quillet
