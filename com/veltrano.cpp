#include "com/veltrano.h"

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

// The helper sends the browser's events to this object's IDispatch.
Veltrano::Veltrano() : helper(static_cast<IVeltrano*>(this)) {}

STDMETHODIMP Veltrano::QueryInterface(REFIID riid, void** ppv) {
  return QueryInterfaceTable(this, veltranoInterfaces, ARRAYSIZE(veltranoInterfaces), riid, ppv);
}

STDMETHODIMP_(ULONG) Veltrano::AddRef() { return static_cast<ULONG>(LockModule()); }

STDMETHODIMP_(ULONG) Veltrano::Release() { return static_cast<ULONG>(UnlockModule()); }

STDMETHODIMP Veltrano::SetSite(IUnknown* pUnkSite) { return helper.SetSite(pUnkSite); }

STDMETHODIMP Veltrano::GetSite(REFIID riid, void** ppvSite) { return helper.GetSite(riid, ppvSite); }

STDMETHODIMP Veltrano::QueryStatus(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[], OLECMDTEXT* pCmdText) {
  return BrowserHelper::QueryStatus(pguidCmdGroup, cCmds, prgCmds, pCmdText);
}

STDMETHODIMP Veltrano::Exec(const GUID* pguidCmdGroup, DWORD /*nCmdID*/, DWORD /*nCmdexecopt*/, VARIANT* /*pvaIn*/,
                            VARIANT* /*pvaOut*/) {
  return helper.Exec(pguidCmdGroup);
}

STDMETHODIMP Veltrano::Invoke(DISPID dispidMember, REFIID /*riid*/, LCID /*lcid*/, WORD /*wFlags*/,
                              DISPPARAMS* pdispparams, VARIANT* /*pvarResult*/, EXCEPINFO* /*pexcepinfo*/,
                              UINT* /*puArgErr*/) {
  return helper.Invoke(dispidMember, pdispparams);
}

}  // namespace quillet
