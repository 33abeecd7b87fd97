// QueryInterface over a table of (interface identifier, offset) rows.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>

namespace quillet {

struct InterfaceRow {
  const IID* iid;
  ptrdiff_t offset;  // from the object's start to the interface's pointer
};

// Byte offset of the `Interface` part inside an `Object`.
template <class Object, class Interface>
ptrdiff_t InterfaceOffset() {
  constexpr uintptr_t probe = 0x1000;  // any aligned non-null address; never dereferenced
  Object* object = reinterpret_cast<Object*>(probe);
  return reinterpret_cast<char*>(static_cast<Interface*>(object)) - reinterpret_cast<char*>(object);
}

// IID_IUnknown takes the first row; otherwise the first row whose identifier
// matches. The interface handed out is AddRef'ed through itself.
HRESULT QueryInterfaceTable(void* object, const InterfaceRow* rows, size_t rowCount, REFIID riid, void** ppv);

}  // namespace quillet
