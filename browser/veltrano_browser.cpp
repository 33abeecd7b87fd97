// The Veltrano object's behaviour towards the browser: each method hands the
// object's fields to the helper functions.
#include "browser/browser_helper.h"
#include "com/veltrano.h"

namespace quillet {
namespace {

HelperFields FieldsOf(Veltrano& object) {
  return HelperFields{object.site,        object.browser, object.browserWindow,
                      object.eventCookie, object.windowRecords, static_cast<IVeltrano*>(&object)};
}

}  // namespace

STDMETHODIMP Veltrano::SetSite(IUnknown* pUnkSite) { return HelperSetSite(FieldsOf(*this), pUnkSite); }

STDMETHODIMP Veltrano::GetSite(REFIID riid, void** ppvSite) { return HelperGetSite(FieldsOf(*this), riid, ppvSite); }

STDMETHODIMP Veltrano::QueryStatus(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[], OLECMDTEXT* pCmdText) {
  return HelperQueryStatus(pguidCmdGroup, cCmds, prgCmds, pCmdText);
}

STDMETHODIMP Veltrano::Exec(const GUID* pguidCmdGroup, DWORD /*nCmdID*/, DWORD /*nCmdexecopt*/, VARIANT* /*pvaIn*/,
                            VARIANT* /*pvaOut*/) {
  return HelperExec(FieldsOf(*this), pguidCmdGroup);
}

STDMETHODIMP Veltrano::Invoke(DISPID dispidMember, REFIID /*riid*/, LCID /*lcid*/, WORD /*wFlags*/,
                              DISPPARAMS* pdispparams, VARIANT* /*pvarResult*/, EXCEPINFO* /*pexcepinfo*/,
                              UINT* /*puArgErr*/) {
  return HelperInvoke(FieldsOf(*this), dispidMember, pdispparams);
}

}  // namespace quillet
