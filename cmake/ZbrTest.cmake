# zbr_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Builds a GoogleTest executable and registers its cases with CTest.
# Every test runs with ZBR_TEST_TMP pointing at a scratch folder in the build
# tree; tests make their own temporary WorkDir below it.
function(zbr_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    ZBR_TEST_TMP="${CMAKE_BINARY_DIR}/test-tmp"
    ZBR_BUILD_DIR="${CMAKE_BINARY_DIR}"
    ZBR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-tmp)
  set(props TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
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
