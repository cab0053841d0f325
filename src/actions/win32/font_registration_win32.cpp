// Announces a font written to the Fonts folder.
#include "actions/win32/font_registration_win32.h"

#include <windows.h>

#include "actions/component_texts.h"
#include "actions/file_destination.h"
#include "actions/win32/component_registry_win32.h"
#include "core/message_numbers.h"
#include "core/text.h"
#include "core/win32/wide.h"

namespace palisade {

void RegisterFont(const FileEntry& entry, const std::u16string& destination, InstallContext& context) {
    std::u16string fileName = FileNameOf(destination);
    context.progress.SetStatusText(ComponentProgressText(context.Message(Msg::kRegisteringFile), fileName));

    // An empty face would overwrite the key's default value instead of naming
    // a font, so such an entry only gets the session registration.
    std::u16string face = Utf8ToUtf16(entry.info);
    if (!face.empty()) {
        bool windows9x = context.facts.OsVersion().platformId == kPlatformWindows9x;
        ComponentKey fonts = CreateComponentKey(HKEY_LOCAL_MACHINE, FontsRegistryKey(windows9x));
        if (fonts.key) SetComponentText(fonts.key.get(), face, fileName);
    }
    // The bare name is looked up in the Fonts folder; a font placed elsewhere
    // by an override is still found through its full path.
    if (::AddFontResourceW(ToWide(fileName).c_str()) == 0) ::AddFontResourceW(ToWide(destination).c_str());
    context.record.fontInstalled = true;
}

}  // namespace palisade
