# 32-bit Windows, the product, through mingw-w64 (posix threads); programs run under Wine.
set(QUILLET_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLET_WINE_LOADER wine)
set(QUILLET_WINE_ARCH win32)
set(QUILLET_STDOLE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
