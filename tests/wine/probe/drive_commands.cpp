// Probe command that defines a Wine drive of a given kind at once, through
// Wine's mount manager (as Wine's own configuration tool does), instead of
// waiting for the manager to notice a changed registry value.
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

#include "core/text.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// Wine's mount manager request to define (or, without a mount point,
// remove) a drive letter mapped to a Unix folder.
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDriveRequest {
    ULONG size;
    ULONG type;  // a DRIVE_* kind
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;  // a NUL-ended Unix path after the request, 0 to remove
    USHORT deviceOffset;
    USHORT labelOffset;
};

// `define-drive LETTER network|fixed UNIX-FOLDER` or `define-drive LETTER remove`.
int DefineDrive(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 2 || args[0].size() != 1) return 2;
    bool remove = args[1] == "remove";
    if (!remove && args.size() != 3) return 2;
    std::vector<char> buffer(sizeof(UnixDriveRequest) + (remove ? 0 : args[2].size() + 1), 0);
    UnixDriveRequest request{};
    request.size = ULONG(buffer.size());
    request.type = remove ? DRIVE_NO_ROOT_DIR : args[1] == "network" ? DRIVE_REMOTE : DRIVE_FIXED;
    request.letter = WCHAR(args[0][0] | 0x20);
    if (!remove) {
        request.mountPointOffset = USHORT(sizeof(UnixDriveRequest));
        std::memcpy(buffer.data() + sizeof(UnixDriveRequest), args[2].c_str(), args[2].size() + 1);
    }
    std::memcpy(buffer.data(), &request, sizeof request);
    HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) {
        out = "cannot open the mount manager: " + std::to_string(::GetLastError());
        return 1;
    }
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), DWORD(buffer.size()), nullptr, 0, &returned,
                                nullptr);
    DWORD error = ::GetLastError();
    ::CloseHandle(manager);
    out = ok ? "defined" : "failed: " + std::to_string(error);
    return ok ? 0 : 1;
}

}  // namespace

PALISADE_PROBE_COMMAND("define-drive", DefineDrive);

}  // namespace palisade::probe
