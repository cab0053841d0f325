// Allocation for the whole stub: running out of memory is a fatal condition
// reported with the size that was asked for.
#include <cstdlib>
#include <new>

#include "core/win32/fatal.h"

namespace {

void* AllocateOrDie(std::size_t size) {
    if (size == 0) size = 1;
    if (void* block = std::malloc(size)) return block;
    palisade::FatalOutOfMemory(size);
}

// Catches allocations that bypass the replaced operators (the C++ runtime's own).
void OnNewFailure() { palisade::FatalOutOfMemory(0); }

struct InstallNewHandler {
    InstallNewHandler() { std::set_new_handler(OnNewFailure); }
} g_installNewHandler;

}  // namespace

void* operator new(std::size_t size) { return AllocateOrDie(size); }
void* operator new[](std::size_t size) { return AllocateOrDie(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrDie(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrDie(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
