// The version text of an existing file, from its version resource.
#include <windows.h>

#include <vector>

#include "actions/win32/file_writer_win32.h"
#include "core/format.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

// version.dll, loaded on first use and kept: the stub links only the
// libraries every part needs.
struct VersionLibrary {
    SizeFunction size = nullptr;
    InfoFunction info = nullptr;
    QueryFunction query = nullptr;
};

const VersionLibrary& Library() {
    static const VersionLibrary library = [] {
        VersionLibrary loaded;
        HMODULE module = LoadSystemLibraryForProcess(L"version.dll");
        if (module == nullptr) return loaded;
        loaded.size = LibraryFunction<SizeFunction>(module, "GetFileVersionInfoSizeW");
        loaded.info = LibraryFunction<InfoFunction>(module, "GetFileVersionInfoW");
        loaded.query = LibraryFunction<QueryFunction>(module, "VerQueryValueW");
        return loaded;
    }();
    return library;
}

std::u16string QueryText(const VersionLibrary& library, const void* block, std::u16string_view name) {
    void* value = nullptr;
    UINT length = 0;
    if (!library.query(block, ToWide(name).c_str(), &value, &length) || value == nullptr || length == 0) return {};
    std::u16string text(static_cast<const char16_t*>(value), length);
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

// "FileVersion" in the resource's own languages first, then the usual ones.
std::u16string FileVersionText(const VersionLibrary& library, const void* block) {
    std::vector<std::uint32_t> tables;
    void* translations = nullptr;
    UINT length = 0;
    if (library.query(block, L"\\VarFileInfo\\Translation", &translations, &length) && translations != nullptr) {
        const WORD* pairs = static_cast<const WORD*>(translations);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) tables.push_back((DWORD(pairs[i]) << 16) | pairs[i + 1]);
    }
    for (std::uint32_t fallback : {0x040904B0u, 0x040904E4u, 0x000004B0u, 0x000004E4u}) tables.push_back(fallback);
    for (std::uint32_t table : tables) {
        std::u16string text = QueryText(library, block, Format(u"\\StringFileInfo\\%08X\\FileVersion", {unsigned(table)}));
        if (!text.empty()) return text;
    }
    return {};
}

bool IsTrimmed(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

std::u16string ReadFileVersion(std::u16string_view path) {
    const VersionLibrary& library = Library();
    if (library.size == nullptr || library.info == nullptr || library.query == nullptr) return {};
    std::wstring widePath = ToWide(path);
    DWORD handle = 0;
    DWORD size = library.size(widePath.c_str(), &handle);
    if (size == 0) return {};
    std::vector<std::uint8_t> block(size);
    if (!library.info(widePath.c_str(), 0, size, block.data())) return {};
    std::u16string text = FileVersionText(library, block.data());
    for (char16_t& c : text) {
        if (c == u',') c = u'.';
    }
    std::size_t start = 0;
    while (start < text.size() && IsTrimmed(text[start])) ++start;
    std::size_t end = text.size();
    while (end > start && IsTrimmed(text[end - 1])) --end;
    return text.substr(start, end - start);
}

}  // namespace palisade
