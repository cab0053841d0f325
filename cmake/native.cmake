# Native targets: the builder and inspector, unit tests, Wine tests, fuzzers.
include(CTest)
if(PALISADE_FUZZ)
  # A fuzzing configuration builds nothing but the fuzzers.
  include(${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz.cmake)
  return()
endif()
find_package(GTest REQUIRED)

set(PALISADE_STUB "${CMAKE_SOURCE_DIR}/build/windows/palisade-setup.exe" CACHE FILEPATH
    "The cross-built installer stub that the builder and the Wine tests use")

file(GLOB PALISADE_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/builder/*.cpp)
add_executable(palisade ${PALISADE_TOOL_SOURCES})
target_link_libraries(palisade PRIVATE palisade_core)
target_compile_definitions(palisade PRIVATE PALISADE_DEFAULT_STUB="${PALISADE_STUB}")

file(GLOB PALISADE_UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${PALISADE_UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE palisade_core GTest::gtest GTest::gtest_main GTest::gmock)
target_compile_definitions(unit_tests PRIVATE PALISADE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

include(${CMAKE_SOURCE_DIR}/tests/wine/wine_tests.cmake)


add_test(NAME stub_imports_only_windows_dlls
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-stub-imports.sh ${PALISADE_STUB})
set_tests_properties(stub_imports_only_windows_dlls PROPERTIES LABELS stub)
