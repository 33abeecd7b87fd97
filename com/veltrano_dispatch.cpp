// The type-information slots of IVeltrano, answered from the process-wide cache.
#include "com/type_info_cache.h"
#include "com/veltrano.h"

namespace quillet {

STDMETHODIMP Veltrano::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_POINTER;
  *pctinfo = 1;
  return S_OK;
}

// Every index answers with the one type information.
STDMETHODIMP Veltrano::GetTypeInfo(UINT /*itinfo*/, LCID lcid, ITypeInfo** pptinfo) {
  return GetCachedTypeInfo(veltranoTypeInfo, lcid, pptinfo);
}

STDMETHODIMP Veltrano::GetIDsOfNames(REFIID /*riid*/, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                     DISPID* rgdispid) {
  return GetCachedIDsOfNames(veltranoTypeInfo, rgszNames, cNames, lcid, rgdispid);
}

}  // namespace quillet
