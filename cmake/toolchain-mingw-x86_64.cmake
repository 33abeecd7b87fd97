# 64-bit Windows: the test fallback where 32-bit code cannot run.
set(QUILLET_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QUILLET_WINE_LOADER wine64)
set(QUILLET_WINE_ARCH win64)
set(QUILLET_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
