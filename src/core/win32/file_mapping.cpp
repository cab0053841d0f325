// A read-only view of part of an open file.
#include "core/win32/file_mapping.h"

#include <utility>

#include "core/win32/unique_handle.h"

namespace palisade {

MappedFileRange::MappedFileRange(MappedFileRange&& other) noexcept
    : m_base(std::exchange(other.m_base, nullptr)), m_view(std::exchange(other.m_view, {})) {}

MappedFileRange& MappedFileRange::operator=(MappedFileRange&& other) noexcept {
    if (this != &other) {
        Release();
        m_base = std::exchange(other.m_base, nullptr);
        m_view = std::exchange(other.m_view, {});
    }
    return *this;
}

MappedFileRange::~MappedFileRange() { Release(); }

void MappedFileRange::Release() {
    if (m_base) ::UnmapViewOfFile(m_base);
    m_base = nullptr;
    m_view = {};
}

Win32Result<MappedFileRange> MapFileRange(HANDLE file, std::uint64_t position, std::size_t length) {
    MappedFileRange range;
    if (length == 0) return range;
    // A view must start at a multiple of the allocation granularity.
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    std::uint64_t start = position - position % system.dwAllocationGranularity;
    std::size_t lead = std::size_t(position - start);
    if (length > SIZE_MAX - lead) return Win32Status(ERROR_NOT_ENOUGH_MEMORY);
    // The mapping object may be closed at once: the view keeps it alive.
    UniqueHandle mapping(::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return Win32Status::FromLastError();
    void* base = ::MapViewOfFile(mapping.get(), FILE_MAP_READ, DWORD(start >> 32), DWORD(start), lead + length);
    if (!base) return Win32Status::FromLastError();
    range.m_base = base;
    range.m_view = ByteView(static_cast<const std::uint8_t*>(base) + lead, length);
    return range;
}

}  // namespace palisade
