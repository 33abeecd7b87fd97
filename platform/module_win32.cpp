#include <windows.h>

#include "platform/module_instance.h"
#include "platform/module_path.h"

namespace quillet {

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
  return module;
}

uint32_t ModuleFilePath(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  DWORD length = GetModuleFileNameA(ModuleInstance(), buffer, size);
  // Older systems leave a path that fills the buffer unterminated.
  if (length >= size) length = size - 1;
  buffer[length] = '\0';
  return length;
}

}  // namespace quillet
