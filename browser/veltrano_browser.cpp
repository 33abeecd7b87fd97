// The Veltrano object's behaviour towards the browser. Not wired up yet:
// every method answers E_NOTIMPL until the browser integration lands.
#include "com/veltrano.h"

namespace quillet {

STDMETHODIMP Veltrano::SetSite(IUnknown* /*pUnkSite*/) { return E_NOTIMPL; }

STDMETHODIMP Veltrano::GetSite(REFIID /*riid*/, void** /*ppvSite*/) { return E_NOTIMPL; }

STDMETHODIMP Veltrano::QueryStatus(const GUID* /*pguidCmdGroup*/, ULONG /*cCmds*/, OLECMD /*prgCmds*/[],
                                   OLECMDTEXT* /*pCmdText*/) {
  return E_NOTIMPL;
}

STDMETHODIMP Veltrano::Exec(const GUID* /*pguidCmdGroup*/, DWORD /*nCmdID*/, DWORD /*nCmdexecopt*/,
                            VARIANT* /*pvaIn*/, VARIANT* /*pvaOut*/) {
  return E_NOTIMPL;
}

STDMETHODIMP Veltrano::Invoke(DISPID /*dispidMember*/, REFIID /*riid*/, LCID /*lcid*/, WORD /*wFlags*/,
                              DISPPARAMS* /*pdispparams*/, VARIANT* /*pvarResult*/, EXCEPINFO* /*pexcepinfo*/,
                              UINT* /*puArgErr*/) {
  return E_NOTIMPL;
}

}  // namespace quillet
