# The installer stub: a 32-bit GUI executable, statically linked, that imports
# only Windows' own DLLs.
enable_language(RC)
# Every win32/ source but the stub's entry point, compiled once for the stub
# and for the probe (below).
set(PALISADE_SHARED_WIN32_SOURCES ${PALISADE_WIN32_SOURCES})
list(FILTER PALISADE_SHARED_WIN32_SOURCES EXCLUDE REGEX "/startup/win32/main\\.cpp$")
add_library(palisade_win32 OBJECT ${PALISADE_SHARED_WIN32_SOURCES})
target_link_libraries(palisade_win32 PUBLIC palisade_core)
target_compile_definitions(palisade_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_compile_options(palisade_win32 PUBLIC -municode)

add_executable(palisade-setup WIN32
  ${CMAKE_SOURCE_DIR}/src/startup/win32/main.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/resources/palisade.rc)
set_target_properties(palisade-setup PROPERTIES OUTPUT_NAME palisade-setup)
target_link_options(palisade-setup PRIVATE -municode -static -static-libgcc -static-libstdc++ -Wl,--nxcompat -Wl,--dynamicbase -s)
target_link_libraries(palisade-setup PRIVATE palisade_win32 ole32 oleaut32 uuid advapi32 user32 gdi32 shell32 comctl32)
# Reproducible: no link time stamp in the PE header, and no source or build
# folder in the binary (__FILE__ and the like), so two builds of one commit in
# different folders give the same bytes (tools/check-stub-reproducible.sh).
foreach(target palisade_payload palisade_author_texts palisade_core palisade_win32 palisade-setup)
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections;-fdata-sections;-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=;-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
endforeach()
target_link_options(palisade-setup PRIVATE -Wl,--no-insert-timestamp)
target_link_options(palisade-setup PRIVATE -Wl,--gc-sections)
# Everything the resource script includes, so that a changed page or picture rebuilds it.
file(GLOB PALISADE_RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/resources/*)
list(FILTER PALISADE_RESOURCE_INPUTS EXCLUDE REGEX "palisade\\.rc$")
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/ui/resources/palisade.rc PROPERTIES
  OBJECT_DEPENDS "${PALISADE_RESOURCE_INPUTS}")

# The probe: a console program for the Wine tests that runs single pieces of
# the stub's Win32 code, linked from the same objects as the stub.
file(GLOB PALISADE_PROBE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/probe/*.cpp)
# The probe's resources: the crash dialog's template.
add_executable(palisade-probe ${PALISADE_PROBE_SOURCES} ${CMAKE_SOURCE_DIR}/tests/wine/probe/probe.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/wine/probe/probe.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/ui/resources/crash_dialog.rc;${CMAKE_SOURCE_DIR}/src/ui/resources/resource_ids.h")
target_include_directories(palisade-probe PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine/probe)
target_link_options(palisade-probe PRIVATE -municode -static -static-libgcc -static-libstdc++)
target_link_libraries(palisade-probe PRIVATE palisade_win32 ole32 oleaut32 uuid advapi32 user32 gdi32 shell32 comctl32 crypt32)

# Nothing in the Windows code throws, catches or asks for a type at run time,
# so it is compiled without exceptions, unwind tables and RTTI: no landing
# pads, no .eh_frame or type names of our own. The library's few error paths
# that would throw end the run instead, and its string classes and static
# guards are compiled here (src/core/win32/library_without_exceptions.cpp),
# which keeps the unwinder out of the stub. Link-time optimisation is not
# used: mingw-w64 GCC 12 stops with an internal compiler error
# (binds_to_current_def_p) on the stub at -Os, in its modref and dead-store
# passes, whatever -fno-ipa-modref says; turning those passes off
# (-fno-tree-dse, -fno-store-merging) moves the same error to the sink pass,
# and the stub without the shared string instances fails the same way. Without IPA-SRA the compiler does not
# make a local copy of a library member for each source whose calls it
# rewrites; the stub is 38 KB smaller for it (measured at 691,200 against
# 653,312 bytes), and its hot loops are liblzma's, which this does not touch.
foreach(target palisade_payload palisade_author_texts palisade_core palisade_win32 palisade-setup palisade-probe)
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-asynchronous-unwind-tables;-fno-unwind-tables;-fno-rtti;-fno-ipa-sra>")
  # One instance of the char16_t string for the whole program (the header says why).
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/src/core/win32/extern_strings.h>")
endforeach()

