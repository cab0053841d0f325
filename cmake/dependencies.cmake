# liblzma for both configurations (it also gives the CRC-32). The Windows build
# uses the static liblzma that scripts/bootstrap.sh builds.
if(WIN32)
  set(_lzma_prefix "${PALISADE_CACHE_DIR}/liblzma-i686-decoder")
  if(NOT EXISTS "${_lzma_prefix}/lib/liblzma.a")
    message(FATAL_ERROR "mingw liblzma missing in ${_lzma_prefix}: run scripts/bootstrap.sh")
  endif()
  add_library(palisade::lzma STATIC IMPORTED)
  set_target_properties(palisade::lzma PROPERTIES
    IMPORTED_LOCATION "${_lzma_prefix}/lib/liblzma.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_lzma_prefix}/include"
    INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
else()
  find_package(LibLZMA REQUIRED)
  add_library(palisade::lzma ALIAS LibLZMA::LibLZMA)
endif()

# utfcpp is header-only. The cross compiler must not see the host's whole
# /usr/include, so the headers are reached through a link in the build tree.
find_path(_utfcpp_dir utf8.h PATHS /usr/include/utf8cpp NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/third_party")
file(CREATE_LINK "${_utfcpp_dir}" "${CMAKE_BINARY_DIR}/third_party/utf8cpp" SYMBOLIC)
add_library(palisade::utfcpp INTERFACE IMPORTED)
set_target_properties(palisade::utfcpp PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_BINARY_DIR}/third_party")
