// The module handle of the library: where its resources and its own file are.
#pragma once

#include <windows.h>

namespace quillet {

// The module that contains this code: the DLL in the product, the program
// itself when the code is linked into a test executable.
HINSTANCE ModuleInstance();

}  // namespace quillet
