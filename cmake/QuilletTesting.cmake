# Test plumbing shared by both builds: GoogleTest, the Wine emulator and
# quillet_add_test(), which registers one test program with ctest.
if(WIN32)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/tools/wine-run;${QUILLET_WINE_PREFIX};${QUILLET_WINE_LOADER}")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -fexceptions)
  set(QUILLET_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(QUILLET_GTEST GTest::gtest GTest::gtest_main)
endif()

# quillet_use_status_printer(target): failures of the target's tests print
# status codes in hex (tests/support/status_printer.h, put first in every
# C++ source).
function(quillet_use_status_printer target)
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX>:-include${CMAKE_SOURCE_DIR}/tests/support/status_printer.h>")
endfunction()

# quillet_add_test(name SOURCES ... [LIBS ...] [REGISTRY] [BOTH_CODEPAGES])
#   REGISTRY        under Wine the test uses the prefix's real registry, so
#                   such tests never run at the same time as each other.
#   BOTH_CODEPAGES  under Wine run once with ANSI code page 1251 (the default)
#                   and once more with 1252.
function(quillet_add_test name)
  cmake_parse_arguments(T "REGISTRY;BOTH_CODEPAGES" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${QUILLET_GTEST})
  quillet_use_status_printer(${name})
  if(WIN32)
    # GoogleTest's own code needs exceptions; ours is built without them.
    target_compile_options(${name} PRIVATE -fexceptions)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(variants ${name})
  if(WIN32 AND T_BOTH_CODEPAGES)
    add_test(NAME ${name}_cp1252 COMMAND ${name})
    set_tests_properties(${name}_cp1252 PROPERTIES ENVIRONMENT QUILLET_CODEPAGE=1252)
    list(APPEND variants ${name}_cp1252)
  endif()
  if(WIN32 AND T_REGISTRY)
    set_tests_properties(${variants} PROPERTIES RESOURCE_LOCK wine_registry)
  endif()
endfunction()
