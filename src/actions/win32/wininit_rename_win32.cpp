// The wininit.ini form of the move-at-restart request.
#include "actions/win32/wininit_rename_win32.h"

#include <windows.h>

#include "actions/file_destination.h"
#include "core/win32/atomic_file.h"
#include "core/win32/code_page.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"

namespace palisade {
namespace {

// The file is small; anything larger is not the system's wininit.ini.
constexpr std::uint64_t kLargestWininit = 16u << 20;

// Where "[rename]" stands as a line of its own (case ignored); npos when absent.
std::size_t RenameHeaderEnd(const std::string& content) {
    static const std::string kHeader = "[rename]";
    for (std::size_t line = 0; line < content.size();) {
        std::size_t end = content.find_first_of("\r\n", line);
        if (end == std::string::npos) end = content.size();
        if (end - line == kHeader.size() &&
            ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, content.data() + line, int(kHeader.size()),
                             kHeader.data(), int(kHeader.size())) == CSTR_EQUAL) {
            return end;
        }
        line = content.find('\n', end);
        line = line == std::string::npos ? content.size() : line + 1;
    }
    return std::string::npos;
}

}  // namespace

Win32Status ScheduleInWininit(std::u16string_view source, std::u16string_view destination) {
    std::u16string windows = WindowsFolderPath();
    std::u16string path = JoinPath(windows.empty() ? u"C:\\Windows" : windows, u"wininit.ini");
    std::string content;
    if (FileExists(path)) {
        Win32Result<std::string> existing = ReadWholeFile(path, kLargestWininit);
        if (!existing.ok()) return existing.status();
        content = std::move(*existing);
    }
    std::string line = ToAnsiCodePage(destination) + "=" + ToAnsiCodePage(source);
    std::size_t header = RenameHeaderEnd(content);
    if (header != std::string::npos) {
        content.insert(header, "\r\n" + line);
    } else {
        content += "[rename]\r\n" + line;
    }
    return WriteFileAtomically(path, BytesOf(content));
}

}  // namespace palisade
