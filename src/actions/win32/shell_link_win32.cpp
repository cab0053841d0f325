// Shell links through the shell's link object.
#include "actions/win32/shell_link_win32.h"

#include <windows.h>
// The system headers below need <windows.h> first.
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "core/win32/com_ptr.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

// The link object and its file interface.
struct LinkObjects {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
};

// The shell link class. Written here rather than taken from the system's
// GUID library, whose one object file of every GUID the headers name would
// bring some 40 KB of them into the installer for these three.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT OpenLinkObjects(LinkObjects& objects) {
    HRESULT result = ::CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                                        objects.link.PutVoid());
    if (FAILED(result)) return result;
    return objects.link->QueryInterface(__uuidof(IPersistFile), objects.file.PutVoid());
}

}  // namespace

std::int32_t SaveShellLink(const ShellLinkFields& fields, const std::u16string& path) {
    // A fault inside a foreign call (caught by the caller's guard) skips the
    // destructors below: the texts and COM objects then leak, nothing worse.
    std::wstring target = ToWide(fields.target);
    std::wstring arguments = ToWide(fields.arguments);
    std::wstring startIn = ToWide(fields.startIn);
    std::wstring description = ToWide(fields.description);
    std::wstring iconFile = ToWide(fields.iconFile);
    std::wstring file = ToWide(path);
    LinkObjects objects;
    HRESULT result = OpenLinkObjects(objects);
    if (FAILED(result)) return result;
    IShellLinkW* link = objects.link.Get();
    if (FAILED(result = link->SetPath(target.c_str()))) return result;
    if (FAILED(result = link->SetArguments(arguments.c_str()))) return result;
    if (FAILED(result = link->SetWorkingDirectory(startIn.c_str()))) return result;
    if (FAILED(result = link->SetDescription(description.c_str()))) return result;
    if (fields.showCommand != 0 && FAILED(result = link->SetShowCmd(fields.showCommand))) return result;
    if (!iconFile.empty() && FAILED(result = link->SetIconLocation(iconFile.c_str(), fields.iconIndex))) {
        return result;
    }
    return objects.file->Save(file.c_str(), TRUE);
}

std::optional<ShellLinkFields> ReadShellLink(const std::u16string& path) {
    LinkObjects objects;
    if (FAILED(OpenLinkObjects(objects))) return std::nullopt;
    if (FAILED(objects.file->Load(ToWide(path).c_str(), STGM_READ))) return std::nullopt;
    wchar_t buffer[INFOTIPSIZE + 1] = {};
    ShellLinkFields fields;
    if (SUCCEEDED(objects.link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) fields.target = FromWide(buffer);
    buffer[0] = 0;
    if (SUCCEEDED(objects.link->GetArguments(buffer, INFOTIPSIZE))) fields.arguments = FromWide(buffer);
    buffer[0] = 0;
    if (SUCCEEDED(objects.link->GetWorkingDirectory(buffer, MAX_PATH))) fields.startIn = FromWide(buffer);
    buffer[0] = 0;
    if (SUCCEEDED(objects.link->GetDescription(buffer, INFOTIPSIZE))) fields.description = FromWide(buffer);
    buffer[0] = 0;
    int icon = 0;
    if (SUCCEEDED(objects.link->GetIconLocation(buffer, MAX_PATH, &icon))) {
        fields.iconFile = FromWide(buffer);
        fields.iconIndex = icon;
    }
    int show = 0;
    if (SUCCEEDED(objects.link->GetShowCmd(&show))) fields.showCommand = show;
    return fields;
}

}  // namespace palisade
