// A read-only view of part of an open file, mapped rather than read: the
// system brings pages in as they are used and may drop them again, so a large
// archive costs address space, not memory.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/byte_view.h"
#include "core/win32/win32_status.h"

namespace palisade {

class MappedFileRange {
public:
    MappedFileRange() = default;
    MappedFileRange(MappedFileRange&& other) noexcept;
    MappedFileRange& operator=(MappedFileRange&& other) noexcept;
    MappedFileRange(const MappedFileRange&) = delete;
    MappedFileRange& operator=(const MappedFileRange&) = delete;
    ~MappedFileRange();

    ByteView View() const { return m_view; }

private:
    friend Win32Result<MappedFileRange> MapFileRange(HANDLE file, std::uint64_t position, std::size_t length);
    void Release();

    void* m_base = nullptr;  // what MapViewOfFile returned: starts at an allocation boundary
    ByteView m_view;         // the requested bytes within it
};

// Maps `length` bytes of `file` (opened for reading) from `position`. An
// empty range maps nothing and succeeds.
Win32Result<MappedFileRange> MapFileRange(HANDLE file, std::uint64_t position, std::size_t length);

}  // namespace palisade
