// Free space and cluster size of a volume.
#include "core/win32/disk_space.h"

#include <windows.h>

#include "core/win32/wide.h"

namespace palisade {

Win32Result<std::uint64_t> FreeBytesForUser(std::u16string_view root) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(ToWide(root).c_str(), &available, nullptr, nullptr)) {
        return Win32Status::FromLastError();
    }
    return std::uint64_t(available.QuadPart);
}

Win32Result<std::uint64_t> ClusterSize(std::u16string_view root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!::GetDiskFreeSpaceW(ToWide(root).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
        return Win32Status::FromLastError();
    }
    return std::uint64_t(sectorsPerCluster) * bytesPerSector;
}

}  // namespace palisade
