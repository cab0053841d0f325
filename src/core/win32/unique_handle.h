// Move-only owners for Win32 handles, one alias per kind of handle.
#pragma once

#include <windows.h>

#include <utility>

namespace palisade {

template <typename Handle, typename Traits>
class UniqueHandleOf {
public:
    UniqueHandleOf() = default;
    explicit UniqueHandleOf(Handle handle) : m_handle(handle) {}
    UniqueHandleOf(const UniqueHandleOf&) = delete;
    UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
    UniqueHandleOf(UniqueHandleOf&& other) noexcept : m_handle(other.release()) {}
    UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandleOf() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }
    Handle release() { return std::exchange(m_handle, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) {
        if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
// CreateFileW reports failure as INVALID_HANDLE_VALUE, most other APIs as null;
// both count as empty.
using UniqueHandle = UniqueHandleOf<HANDLE, KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle;

struct HkeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
using UniqueHkey = UniqueHandleOf<HKEY, HkeyTraits>;

struct HmoduleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
using UniqueHmodule = UniqueHandleOf<HMODULE, HmoduleTraits>;

struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFindHandle = UniqueHandleOf<HANDLE, FindHandleTraits>;

struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool IsValid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
using UniqueGdiObject = UniqueHandleOf<HGDIOBJ, GdiObjectTraits>;

struct LocalMemoryTraits {
    static HLOCAL Invalid() { return nullptr; }
    static bool IsValid(HLOCAL h) { return h != nullptr; }
    static void Close(HLOCAL h) { ::LocalFree(h); }
};
// Memory the system allocated with LocalAlloc for the caller (security
// descriptors, access lists, FormatMessage buffers).
using UniqueLocal = UniqueHandleOf<HLOCAL, LocalMemoryTraits>;

struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
using UniqueIcon = UniqueHandleOf<HICON, IconTraits>;

}  // namespace palisade
