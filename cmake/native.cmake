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

# Everything of the builder and inspector except the entry point, so that the
# unit tests link the same code. toml++ is compiled once, in
# tools/common/toml_implementation.cpp, and reports errors as values.
file(GLOB PALISADE_TOOL_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tools/common/*.cpp
  ${CMAKE_SOURCE_DIR}/tools/builder/*.cpp
  ${CMAKE_SOURCE_DIR}/tools/inspector/*.cpp)
list(FILTER PALISADE_TOOL_SOURCES EXCLUDE REGEX "/tools/builder/main\\.cpp$")
find_package(Threads REQUIRED)
add_library(palisade_tools STATIC ${PALISADE_TOOL_SOURCES})
target_include_directories(palisade_tools PUBLIC ${CMAKE_SOURCE_DIR}/tools)
target_compile_definitions(palisade_tools PUBLIC TOML_HEADER_ONLY=0 TOML_EXCEPTIONS=0
  PRIVATE PALISADE_DEFAULT_STUB="${PALISADE_STUB}" PALISADE_LANGUAGES_DIR="${CMAKE_SOURCE_DIR}/tools/languages")
target_link_libraries(palisade_tools PUBLIC palisade_author_texts Threads::Threads)

add_executable(palisade ${CMAKE_SOURCE_DIR}/tools/builder/main.cpp)
target_link_libraries(palisade PRIVATE palisade_tools)
target_compile_definitions(palisade PRIVATE PALISADE_VERSION="${PROJECT_VERSION}")

file(GLOB PALISADE_UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${PALISADE_UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE palisade_core palisade_tools GTest::gtest GTest::gtest_main GTest::gmock)
target_compile_definitions(unit_tests PRIVATE PALISADE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# GoogleTest's headers are a third of each test file's compile time: parsed once.
target_precompile_headers(unit_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
gtest_discover_tests(unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

include(${CMAKE_SOURCE_DIR}/tests/wine/wine_tests.cmake)

# `cmake --install`: the builder in bin/, what it ships with in share/palisade/,
# where the installed builder looks for them (tools/builder/shipped_files.h).
include(GNUInstallDirs)
install(TARGETS palisade RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PALISADE_STUB} DESTINATION ${CMAKE_INSTALL_DATADIR}/palisade)
install(FILES ${CMAKE_SOURCE_DIR}/docs/palisade.schema.json DESTINATION ${CMAKE_INSTALL_DATADIR}/palisade)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/tools/languages/ DESTINATION ${CMAKE_INSTALL_DATADIR}/palisade/languages
  FILES_MATCHING PATTERN "*.toml")

include(${CMAKE_SOURCE_DIR}/tests/cli/cli_tests.cmake)


add_test(NAME stub_imports_only_windows_dlls
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-stub-imports.sh ${PALISADE_STUB})
set_tests_properties(stub_imports_only_windows_dlls PROPERTIES LABELS stub)

# Layers run one way: no include from a lower layer to a higher one or between siblings.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME layers_run_one_way COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/check-layers.py ${CMAKE_SOURCE_DIR}/src)
set_tests_properties(layers_run_one_way PROPERTIES LABELS unit)
