#include "com/veltrano.h"

#include "browser/browser_helper.h"
#include "com/interface_table.h"
#include "com/module.h"

namespace quillet {
namespace {

// Searched in this order; the first row's interface is the identity.
const InterfaceRow veltranoInterfaces[] = {
    {&IID_IVeltrano, InterfaceOffset<Veltrano, IVeltrano>()},
    {&IID_IDispatch, InterfaceOffset<Veltrano, IVeltrano>()},
    {&IID_IObjectWithSite, InterfaceOffset<Veltrano, IObjectWithSite>()},
    {&IID_IOleCommandTarget, InterfaceOffset<Veltrano, IOleCommandTarget>()},
};

}  // namespace

Veltrano::Veltrano() : site(nullptr), browser(nullptr), browserWindow(nullptr), eventCookie(0) {}

Veltrano::~Veltrano() {
  if (browser != nullptr) browser->Release();
  if (site != nullptr) site->Release();
  ReleaseBrowserWindows(windowRecords);
}

STDMETHODIMP Veltrano::QueryInterface(REFIID riid, void** ppv) {
  return QueryInterfaceTable(this, veltranoInterfaces, ARRAYSIZE(veltranoInterfaces), riid, ppv);
}

STDMETHODIMP_(ULONG) Veltrano::AddRef() { return static_cast<ULONG>(LockModule()); }

STDMETHODIMP_(ULONG) Veltrano::Release() { return static_cast<ULONG>(UnlockModule()); }

}  // namespace quillet
