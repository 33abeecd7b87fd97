// Allocation on the process heap. The server avoids the C++ runtime's
// operator new, which would pull its exception machinery into the DLL.
#pragma once

#include <windows.h>

#include <new>
#include <utility>

namespace quillet {

// Null when the memory cannot be had.
template <class T, class... Arguments>
T* HeapNew(Arguments&&... arguments) {
  void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(T));
  return memory != nullptr ? new (memory) T(std::forward<Arguments>(arguments)...) : nullptr;
}

template <class T>
void HeapDelete(T* object) {
  if (object == nullptr) return;
  object->~T();
  HeapFree(GetProcessHeap(), 0, object);
}

// Zero-filled memory for `count` objects of a trivial type.
template <class T>
T* HeapNewArray(size_t count) {
  return static_cast<T*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(T)));
}

template <class T>
void HeapDeleteArray(T* array) {
  if (array != nullptr) HeapFree(GetProcessHeap(), 0, array);
}

}  // namespace quillet
