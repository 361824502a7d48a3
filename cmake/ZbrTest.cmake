# The test programs' own code (not the code under test, which keeps the
# build's flags) is compiled without optimisation: it only drives and
# compares, and at -O2 it took most of the build's time. It also steps better
# in a debugger. -fPIC because Qt asks for it, so that the tests with and
# without Qt can share the precompiled headers below.
set(ZBR_TEST_CODE_OPTIONS -O0 -fPIC)
set(ZBR_TEST_DEFINITIONS
  ZBR_TEST_TMP="${CMAKE_BINARY_DIR}/test-tmp"
  ZBR_BUILD_DIR="${CMAKE_BINARY_DIR}"
  ZBR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# GoogleTest and the standard headers the tests use most, precompiled once per
# build folder for every test program; the tests on the Qt screen (those whose
# LIBS name zbr_ui_qt, zbr_test_screens, zbr_print or Qt6::Widgets) take one
# with Qt Widgets as well. The compiler uses a precompiled header only where
# the program's options and definitions agree with it (-Winvalid-pch says when
# not), so keep test-wide options in the two lists above.
if(NOT EXISTS ${CMAKE_BINARY_DIR}/zbr_test_pch.cpp)
  file(WRITE ${CMAKE_BINARY_DIR}/zbr_test_pch.cpp "")
endif()
set(ZBR_TEST_PCH_HEADERS
  <gtest/gtest.h> <algorithm> <chrono> <cstdint> <cstring> <filesystem> <fstream> <functional> <map>
  <memory> <string> <vector>)
set(ZBR_TEST_PCH_QT_LIBS zbr_ui_qt zbr_test_screens zbr_print Qt6::Widgets)
function(zbr_test_pch name)
  add_library(${name} OBJECT ${CMAKE_BINARY_DIR}/zbr_test_pch.cpp)
  target_link_libraries(${name} PRIVATE GTest::gtest ${ARGN})
  target_compile_options(${name} PRIVATE ${ZBR_TEST_CODE_OPTIONS})
  target_compile_definitions(${name} PRIVATE ${ZBR_TEST_DEFINITIONS})
endfunction()
zbr_test_pch(zbr_test_pch)
target_precompile_headers(zbr_test_pch PRIVATE ${ZBR_TEST_PCH_HEADERS})
if(ZBR_WITH_QT)
  zbr_test_pch(zbr_test_pch_qt Qt6::Widgets)
  target_precompile_headers(zbr_test_pch_qt PRIVATE ${ZBR_TEST_PCH_HEADERS} <QtWidgets>)
endif()

# zbr_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [COST <n>])
# Builds a GoogleTest executable and registers its cases with CTest. COST
# (CTest's estimate, in seconds) lets a long test start first, so that the
# short ones run beside it rather than after it.
# Every test runs with ZBR_TEST_TMP pointing at a scratch folder in the build
# tree; tests make their own temporary WorkDir below it.
function(zbr_add_test name)
  cmake_parse_arguments(T "" "COST" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${ZBR_TEST_CODE_OPTIONS})
  target_compile_definitions(${name} PRIVATE ${ZBR_TEST_DEFINITIONS})
  set(pch zbr_test_pch)
  foreach(lib ${ZBR_TEST_PCH_QT_LIBS})
    if(TARGET zbr_test_pch_qt AND lib IN_LIST T_LIBS)
      set(pch zbr_test_pch_qt)
    endif()
  endforeach()
  target_precompile_headers(${name} REUSE_FROM ${pch})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-tmp)
  set(props TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_COST)
    list(APPEND props COST ${T_COST})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${props})
endfunction()

# zbr_add_library(<name> <sources...>) : a static library of src/, with src/ on
# the include path of everything that links it.
function(zbr_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
endfunction()

# zbr_tool(<target>) : a program that no test runs. Without ZBR_TOOLS it is
# left out of the default build (the sanitizer build needs only the tests);
# `cmake --build <dir> --target <target>` still builds it.
function(zbr_tool name)
  if(NOT ZBR_TOOLS)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endfunction()
