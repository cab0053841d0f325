# Tests that run the real installer under Wine. One prefix is made per test run
# by a fixture test and shared by all; the wineserver is stopped at the end.
find_program(PALISADE_WINE wine)
if(NOT PALISADE_WINE)
  message(WARNING "wine not found: Wine tests are not built")
  return()
endif()

file(GLOB PALISADE_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
add_executable(wine_tests ${CMAKE_SOURCE_DIR}/tests/wine/wine_harness.cpp ${CMAKE_SOURCE_DIR}/tests/wine/wine_harness_gui.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/wizard_gui_support.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/install_support.cpp ${PALISADE_WINE_TEST_SOURCES})
target_include_directories(wine_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine)
target_precompile_headers(wine_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h> <filesystem> <string> <vector>)
target_link_libraries(wine_tests PRIVATE palisade_core palisade_tools GTest::gtest GTest::gmock GTest::gtest_main)
target_compile_definitions(wine_tests PRIVATE
  PALISADE_BUILD_DIR="${CMAKE_BINARY_DIR}"
  PALISADE_STUB_PATH="${PALISADE_STUB}"
  PALISADE_BUILDER_PATH="$<TARGET_FILE:palisade>"
  PALISADE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

add_test(NAME wine_prefix_setup
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh create ${CMAKE_BINARY_DIR}/wineprefix)
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix LABELS "wine;gui" TIMEOUT 900)
add_test(NAME wine_prefix_teardown
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh stop ${CMAKE_BINARY_DIR}/wineprefix)
set_tests_properties(wine_prefix_teardown PROPERTIES FIXTURES_CLEANUP wine_prefix LABELS "wine;gui")

# Every test of the binary becomes a ctest test: label wine, or label gui for
# the tests whose names contain "Gui". GUI tests open windows, each on an X
# server of its own, so they run beside the other Wine tests; among
# themselves they take turns, because the prefix has one Wine desktop and
# with it one active window and one keyboard focus.
# Discovery cannot give one test two labels, so `ctest -L "wine|gui"` runs all.
# The GUI tests cost the most and take turns: they start first (COST), so
# that their turns overlap the other tests instead of ending the run alone.
gtest_discover_tests(wine_tests TEST_FILTER "-*Gui*:*Restart*:*Serial*"
  PROPERTIES LABELS wine FIXTURES_REQUIRED wine_prefix TIMEOUT 900
  DISCOVERY_TIMEOUT 60)
# Tests whose names contain "Restart" restart Wine (`wineboot -r` carries out
# every pending restart operation of the shared prefix), and tests whose names
# contain "Serial" compare or change state that every test shares (the whole
# prefix, one MSI package): both run alone.
gtest_discover_tests(wine_tests TEST_FILTER "*Restart*:*Serial*:-*Gui*"
  PROPERTIES LABELS wine FIXTURES_REQUIRED wine_prefix TIMEOUT 900 RUN_SERIAL TRUE
  DISCOVERY_TIMEOUT 60)
gtest_discover_tests(wine_tests TEST_FILTER "*Gui*"
  PROPERTIES LABELS gui FIXTURES_REQUIRED wine_prefix TIMEOUT 900 RESOURCE_LOCK wine_desktop COST 1000
  DISCOVERY_TIMEOUT 60)

include(${CMAKE_SOURCE_DIR}/tests/wine/fixtures/fixtures.cmake)
