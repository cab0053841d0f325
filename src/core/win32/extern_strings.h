// Every Windows source is compiled with this header first (cmake/stub.cmake).
//
// The library declares its char and wchar_t strings as instantiated elsewhere,
// but not its char16_t string, the core's wide text: every source then
// compiles its own copies of the members it uses, and at -Os the compiler
// specialises them again per source. Declaring the instantiation here, and
// making it once (library_without_exceptions.cpp), leaves one copy.
#pragma once

#ifdef __cplusplus
#include <string>

extern template class std::basic_string<char16_t>;
#endif
