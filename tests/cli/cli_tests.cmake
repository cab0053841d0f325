# Tests of the builder as a whole, run as scripts: the JSON Schema against the
# examples, reproducible installers, installation and the tarball, and the
# stub's build marks. Those that need the stub skip (code 77) without it.

# python3-jsonschema is Debian's, so it lives with the system Python.
find_program(PALISADE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME examples_match_the_schema
  COMMAND ${PALISADE_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/cli/validate_examples.py
    ${CMAKE_SOURCE_DIR}/docs/palisade.schema.json ${CMAKE_SOURCE_DIR}/examples)
set_tests_properties(examples_match_the_schema PROPERTIES LABELS unit)

add_test(NAME example_builds_reproducibly
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/reproducible_build.sh $<TARGET_FILE:palisade> ${PALISADE_STUB}
    ${CMAKE_SOURCE_DIR})
add_test(NAME builder_installs_and_packs
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/install_and_dist.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${PALISADE_STUB})
set_tests_properties(example_builds_reproducibly builder_installs_and_packs PROPERTIES
  LABELS unit SKIP_RETURN_CODE 77 TIMEOUT 120)

get_filename_component(_stub_build_dir ${PALISADE_STUB} DIRECTORY)
add_test(NAME stub_carries_no_build_marks
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-stub-build-marks.sh ${PALISADE_STUB} ${CMAKE_SOURCE_DIR}
    ${_stub_build_dir})
set_tests_properties(stub_carries_no_build_marks PROPERTIES LABELS stub)
