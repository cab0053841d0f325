// Saving the uninstaller's icons and picture and the product's readme and
// licence texts; every saved file is recorded for removal.
#include "uninstall/win32/saved_files_win32.h"

#include <windows.h>

#include "core/win32/atomic_file.h"
#include "core/win32/system_error.h"
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
        if (Win32Status saved = WriteFileAtomically(path, texts[name.index]); saved.failed()) {
            context.log.runLog.AppendFormattedWide(kind.failedLine, {path, SystemErrorText(saved.code())});
            continue;
        }
        context.record.uninstallItems.Record(path, UninstallItemType::File);
        if (context.Flag1(Flags1::kLogEveryFile)) context.log.runLog.AppendFormattedWide(kind.savedLine, {path});
    }
}

}  // namespace

void SaveUninstallerIcon(InstallContext& context) {
    if (context.settings.uninstallerIcon.empty()) return;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, u"uninstall.ico");
    if (Win32Status saved = WriteFileAtomically(path, context.settings.uninstallerIcon); saved.failed()) {
        context.log.runLog.AppendFormattedWide(u"Failed to install uninstaller icon to %s\r\n%s\r\n",
                                               {path, SystemErrorText(saved.code())});
        return;
    }
    context.record.uninstallItems.Record(path, UninstallItemType::File);
}

bool SaveProductIcon(InstallContext& context) {
    if (context.settings.productIcon.empty()) return false;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, u"product.ico");
    if (WriteFileAtomically(path, context.settings.productIcon).failed()) return false;
    context.record.uninstallItems.Record(path, UninstallItemType::File);
    return true;
}

void SaveBackgroundPicture(InstallContext& context) {
    if (!context.Flag1(Flags1::kKeepBackgroundPicture) || context.settings.backgroundPicture.empty()) return;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, u"Installer Background.bmp");
    if (WriteFileAtomically(path, context.settings.backgroundPicture).ok()) {
        context.record.uninstallItems.Record(path, UninstallItemType::File);
    }
}

void SaveReadmeAndLicenceTexts(InstallContext& context) {
    if (context.Flag2(Flags2::kSaveReadme)) SaveTexts(context, context.settings.readmeTexts, kReadme);
    if (context.Flag2(Flags2::kSaveLicence)) SaveTexts(context, context.settings.licenceTexts, kLicence);
}

}  // namespace palisade
