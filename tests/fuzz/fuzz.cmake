# libFuzzer targets: every tests/fuzz/*_fuzz.cpp, built with clang, AddressSanitizer
# and UBSan. `make fuzz` builds them in build/fuzz and runs each for a fixed time.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "PALISADE_FUZZ needs clang (configure with CXX=clang++-14)")
endif()
foreach(library palisade_payload palisade_author_texts palisade_core)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endforeach()
file(GLOB PALISADE_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
add_custom_target(fuzzers)
foreach(source ${PALISADE_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE palisade_core)
  if(name STREQUAL "tool_texts_fuzz")
    # The builder's own readers: compiled in, without toml++ and the rest of the tools.
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tools/builder/path_pattern.cpp
      ${CMAKE_SOURCE_DIR}/tools/common/destination_checks.cpp ${CMAKE_SOURCE_DIR}/tools/common/terminal_text.cpp)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tools)
  endif()
  if(name STREQUAL "tool_files_fuzz")
    # The builder's project reader and the inspector with everything they call, toml++ included.
    file(GLOB tool_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/common/*.cpp
      ${CMAKE_SOURCE_DIR}/tools/builder/*.cpp ${CMAKE_SOURCE_DIR}/tools/inspector/*.cpp)
    list(FILTER tool_sources EXCLUDE REGEX "/tools/builder/main\\.cpp$")
    find_package(Threads REQUIRED)
    target_sources(${name} PRIVATE ${tool_sources})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tools)
    target_compile_definitions(${name} PRIVATE TOML_HEADER_ONLY=0 TOML_EXCEPTIONS=0
      PALISADE_DEFAULT_STUB="/nonexistent/palisade-setup.exe" PALISADE_LANGUAGES_DIR="${CMAKE_SOURCE_DIR}/tools/languages")
    target_link_libraries(${name} PRIVATE Threads::Threads)
    # Debian 12's toml++ 3.3.0 reaches an "unreachable" point on some non-ASCII
    # characters and makes a bad virtual call on "[&" (upstream issues 295 and
    # 294, fixed after 3.3.0): its parser is compiled without UBSan here, so
    # that the fuzzer keeps testing our readers behind it (AddressSanitizer
    # still watches it). Release builds behave as before: the parser rejects
    # such input.
    set_source_files_properties(${CMAKE_SOURCE_DIR}/tools/common/toml_implementation.cpp TARGET_DIRECTORY ${name}
      PROPERTIES COMPILE_OPTIONS "-fno-sanitize=undefined")
  endif()
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  add_dependencies(fuzzers ${name})
  add_test(NAME fuzz_${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer.sh $<TARGET_FILE:${name}> ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name} ${PALISADE_FUZZ_SECONDS})
  set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endforeach()
