# 32-bit Windows, the product, through mingw-w64 (posix threads); programs run under Wine.
set(QUILLET_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLET_WINE_LOADER wine)
set(QUILLET_WINE_ARCH win32)
# widl only reads the OLE Automation library it imports; the 64-bit copy gives
# the same type library byte for byte and is there without 32-bit Wine.
set(QUILLET_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
