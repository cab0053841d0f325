// Saving the uninstaller's icons and picture and the product's readme and
// licence texts; every saved file is recorded for removal.
#include "uninstall/win32/saved_files_win32.h"

#include <windows.h>

#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "uninstall/saved_texts.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

struct TextKind {
    std::u16string_view stem;
    const char16_t* savedLine;
    const char16_t* failedLine;
};

constexpr TextKind kReadme = {u"readme", u"README >>> %s\r\n", u"Failed to save readme to: %s\r\n%s\r\n"};
constexpr TextKind kLicence = {u"eula", u"EULA >>> %s\r\n", u"Failed to save EULA to: %s\r\n%s\r\n"};

void SaveTexts(InstallContext& context, const std::vector<ByteBlob>& texts, const TextKind& kind) {
    for (const SavedTextName& name : NameSavedTexts(texts, kind.stem)) {
        std::u16string path = JoinFolder(context.state.installFolder, name.fileName);
        if (std::uint32_t error = SaveBytes(path, texts[name.index])) {
            context.log.runLog.AppendFormattedWide(kind.failedLine, {path, SystemErrorText(error)});
            continue;
        }
        context.record.uninstallItems.Record(path, UninstallItemType::File);
        if (context.Flag1(Flags1::kLogEveryFile)) context.log.runLog.AppendFormattedWide(kind.savedLine, {path});
    }
}

}  // namespace

std::uint32_t SaveBytes(const std::u16string& path, ByteView bytes) {
    std::wstring widePath = ToWide(path);
    UniqueFileHandle file(
        ::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    std::size_t done = 0;
    while (done < bytes.size) {
        DWORD chunk = DWORD(bytes.size - done > 0x10000000 ? 0x10000000 : bytes.size - done);
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data + done, chunk, &written, nullptr) || written == 0) {
            std::uint32_t error = ::GetLastError();
            file.reset();
            ::DeleteFileW(widePath.c_str());  // no half-written file left behind
            return error ? error : ERROR_WRITE_FAULT;
        }
        done += written;
    }
    return 0;
}

void SaveUninstallerIcon(InstallContext& context) {
    if (context.settings.uninstallerIcon.empty()) return;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, u"uninstall.ico");
    if (std::uint32_t error = SaveBytes(path, context.settings.uninstallerIcon)) {
        context.log.runLog.AppendFormattedWide(u"Failed to install uninstaller icon to %s\r\n%s\r\n",
                                               {path, SystemErrorText(error)});
        return;
    }
    context.record.uninstallItems.Record(path, UninstallItemType::File);
}

bool SaveProductIcon(InstallContext& context) {
    if (context.settings.productIcon.empty()) return false;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, u"product.ico");
    if (SaveBytes(path, context.settings.productIcon) != 0) return false;
    context.record.uninstallItems.Record(path, UninstallItemType::File);
    return true;
}

void SaveBackgroundPicture(InstallContext& context) {
    if (!context.Flag1(Flags1::kKeepBackgroundPicture) || context.settings.backgroundPicture.empty()) return;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, u"Installer Background.bmp");
    if (SaveBytes(path, context.settings.backgroundPicture) == 0) {
        context.record.uninstallItems.Record(path, UninstallItemType::File);
    }
}

void SaveReadmeAndLicenceTexts(InstallContext& context) {
    if (context.Flag2(Flags2::kSaveReadme)) SaveTexts(context, context.settings.readmeTexts, kReadme);
    if (context.Flag2(Flags2::kSaveLicence)) SaveTexts(context, context.settings.licenceTexts, kLicence);
}

}  // namespace palisade
