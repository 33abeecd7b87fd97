#include "com/interface_table.h"

namespace quillet {

HRESULT QueryInterfaceTable(void* object, const InterfaceRow* rows, size_t rowCount, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  const InterfaceRow* found = nullptr;
  if (IsEqualGUID(riid, IID_IUnknown)) {
    found = rows;
  } else {
    for (size_t i = 0; i < rowCount && found == nullptr; ++i) {
      if (IsEqualGUID(riid, *rows[i].iid)) found = &rows[i];
    }
  }
  if (found == nullptr) return E_NOINTERFACE;
  IUnknown* answer = reinterpret_cast<IUnknown*>(static_cast<char*>(object) + found->offset);
  answer->AddRef();
  *ppv = answer;
  return S_OK;
}

}  // namespace quillet
