// The installer's own executable, held open for reading for the whole run.
#include "core/win32/own_executable.h"

#include <vector>

#include "core/fatal_texts.h"
#include "core/format.h"
#include "core/win32/fatal.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {

bool FileByteSource::ReadAt(std::uint64_t position, void* buffer, std::size_t length) const {
    if (length == 0) return true;
    LARGE_INTEGER zero{}, saved{}, target{};
    if (!::SetFilePointerEx(m_file.get(), zero, &saved, FILE_CURRENT)) return false;
    target.QuadPart = LONGLONG(position);
    bool ok = ::SetFilePointerEx(m_file.get(), target, nullptr, FILE_BEGIN) != 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (ok && done < length) {
        DWORD chunk = DWORD(std::min<std::size_t>(length - done, 1u << 30));
        DWORD read = 0;
        ok = ::ReadFile(m_file.get(), out + done, chunk, &read, nullptr) && read == chunk;
        done += read;
    }
    ::SetFilePointerEx(m_file.get(), saved, nullptr, FILE_BEGIN);
    return ok;
}

bool FileByteSource::Seek(std::uint64_t position) const {
    LARGE_INTEGER target{};
    target.QuadPart = LONGLONG(position);
    return ::SetFilePointerEx(m_file.get(), target, nullptr, FILE_BEGIN) != 0;
}

OwnExecutable OpenOwnExecutable() {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    std::u16string name = FromWide(std::wstring_view(path.data(), length));
    UniqueFileHandle file(::CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = ::GetLastError();
    LARGE_INTEGER size{};
    if (file && !::GetFileSizeEx(file.get(), &size)) {
        error = ::GetLastError();
        file.reset();
    }
    if (!file) {
        FatalWide(Format(kCannotOpenSelfText, {name, int(error), SystemErrorText(error)}));
    }
    return OwnExecutable{std::move(name), FileByteSource(std::move(file), std::uint64_t(size.QuadPart))};
}

}  // namespace palisade
