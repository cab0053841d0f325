// The C++ library's error paths for code built without exceptions.
//
// The library's headers report a misuse or an impossible size (a vector
// longer than the address space, an empty std::function called) through
// these functions. Nothing in the stub catches, so an exception thrown there
// would end the process through std::terminate and abort(). Defining them
// here ends it through abort() directly, and keeps the library's exception
// classes, their strings and the unwinder out of the executable: the
// library's own definitions are never linked, so a missing one shows as a
// duplicate definition at link time, not as a silent difference.
#include <windows.h>

#include <bits/functexcept.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

namespace std {

void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }

}  // namespace std

// The library's own copies of the string classes were compiled with
// exceptions and would bring the unwinder along; these instantiations,
// compiled without, are linked in their place.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
// The core's wide text, declared instantiated here by extern_strings.h.
template class std::basic_string<char16_t>;

namespace __gnu_cxx {

// The default terminate handler prints the exception's demangled type to
// stderr, which a GUI program does not have, and brings the demangler along.
// Only a throw in the library itself (a static's recursive initialisation)
// could reach it; ending the process is all that is left to do.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

// Guarded initialisation of function-local statics. The library's guard
// throws on a recursive initialisation, which alone would bring the unwinder
// back. Here: one process-wide lock, re-entrant for the thread that holds it
// (one static's initialiser may need another), taken only until a static is
// initialised; the compiler's inline test of the guard's first byte skips
// these calls afterwards.
namespace {

std::atomic<DWORD> g_guardOwner{0};
int g_guardDepth = 0;  // touched only by the owning thread

void LockGuards() {
    DWORD self = GetCurrentThreadId();
    if (g_guardOwner.load(std::memory_order_acquire) == self) {
        ++g_guardDepth;
        return;
    }
    DWORD expected = 0;
    while (!g_guardOwner.compare_exchange_weak(expected, self, std::memory_order_acquire)) {
        expected = 0;
        Sleep(0);
    }
    g_guardDepth = 1;
}

void UnlockGuards() {
    if (--g_guardDepth == 0) g_guardOwner.store(0, std::memory_order_release);
}

std::atomic<std::uint8_t>& GuardByte(std::uint64_t* guard) {
    return *reinterpret_cast<std::atomic<std::uint8_t>*>(guard);
}

}  // namespace

extern "C" int __cxa_guard_acquire(std::uint64_t* guard) {
    if (GuardByte(guard).load(std::memory_order_acquire) != 0) return 0;
    LockGuards();
    if (GuardByte(guard).load(std::memory_order_relaxed) != 0) {
        UnlockGuards();
        return 0;
    }
    return 1;
}

extern "C" void __cxa_guard_release(std::uint64_t* guard) {
    GuardByte(guard).store(1, std::memory_order_release);
    UnlockGuards();
}

extern "C" void __cxa_guard_abort(std::uint64_t*) { UnlockGuards(); }
