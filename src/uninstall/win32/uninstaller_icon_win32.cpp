// Rewrites the icon resources of a program file through the system's
// resource updater: the old pictures and groups go, the new ones come in
// under the first group's name and language.
#include "uninstall/win32/uninstaller_icon_win32.h"

#include <windows.h>

#include <vector>

#include "core/win32/wide.h"
#include "uninstall/icon_resources.h"

namespace palisade {
namespace {

// A resource as the updater addresses it: a type, an id and a language.
struct ResourceName {
    WORD id = 0;
    WORD language = 0;
};

struct IconResourceList {
    std::vector<ResourceName> images;
    std::vector<ResourceName> groups;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR list) {
    // Only numbered resources: the stub names its icons by number.
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<ResourceName>*>(list)->push_back({LOWORD(reinterpret_cast<ULONG_PTR>(name)), language});
    }
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR list) {
    ::EnumResourceLanguagesW(module, type, name, CollectLanguage, list);
    return TRUE;
}

IconResourceList ExistingIcons(const std::u16string& path) {
    IconResourceList list;
    HMODULE module = ::LoadLibraryExW(ToWide(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return list;
    ::EnumResourceNamesW(module, RT_ICON, CollectName, reinterpret_cast<LONG_PTR>(&list.images));
    ::EnumResourceNamesW(module, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&list.groups));
    ::FreeLibrary(module);
    return list;
}

bool Update(HANDLE update, LPCWSTR type, WORD id, WORD language, const void* data, std::size_t size) {
    return ::UpdateResourceW(update, type, MAKEINTRESOURCEW(id), language, const_cast<void*>(data),
                             DWORD(size)) != FALSE;
}

bool WriteIcons(HANDLE update, const IconResourceList& existing, const std::vector<IconImage>& images) {
    for (const ResourceName& old : existing.images) {
        if (!Update(update, RT_ICON, old.id, old.language, nullptr, 0)) return false;
    }
    for (const ResourceName& old : existing.groups) {
        if (!Update(update, RT_GROUP_ICON, old.id, old.language, nullptr, 0)) return false;
    }
    ResourceName group = existing.groups.empty() ? ResourceName{1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)}
                                                 : existing.groups.front();
    constexpr WORD kFirstImageId = 1;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        if (!Update(update, RT_ICON, WORD(kFirstImageId + i), group.language, image.bytes.data, image.bytes.size)) {
            return false;
        }
    }
    std::vector<std::uint8_t> directory = IconGroupDirectory(images, kFirstImageId);
    return Update(update, RT_GROUP_ICON, group.id, group.language, directory.data(), directory.size());
}

}  // namespace

void ReplaceProgramIcon(const std::u16string& path, ByteView iconFile, RunLog& log) {
    std::optional<std::vector<IconImage>> images = ParseIconFile(iconFile);
    if (!images) {
        log.AppendNarrow("Failed to replace uninstaller icon.\r\n");
        return;
    }
    IconResourceList existing = ExistingIcons(path);
    HANDLE update = ::BeginUpdateResourceW(ToWide(path).c_str(), FALSE);
    if (!update) {
        log.AppendNarrow("Failed to open uninstaller for icon replacement.\r\n");
        return;
    }
    bool written = WriteIcons(update, existing, *images);
    // Discarding leaves the file exactly as it was written.
    if (!::EndUpdateResourceW(update, written ? FALSE : TRUE) || !written) {
        log.AppendNarrow("Failed to replace uninstaller icon.\r\n");
    }
}

}  // namespace palisade
