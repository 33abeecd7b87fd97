// The singleton class object: every CreateInstance answers with the one
// Veltrano object it carries.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "com/veltrano.h"

namespace quillet {

class SingletonClassObject final : public IClassFactory {
 public:
  SingletonClassObject();
  ~SingletonClassObject();
  SingletonClassObject(const SingletonClassObject&) = delete;
  SingletonClassObject& operator=(const SingletonClassObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL fLock) override;

 private:
  volatile LONG count_;
  Veltrano object_;
  CRITICAL_SECTION countLock_;
};

// The class-object creator of the Veltrano class entry.
HRESULT CreateVeltranoClassObject(REFIID riid, void** ppv);

}  // namespace quillet
