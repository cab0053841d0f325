// The uninstaller of a signed build: made from the stub, icon applied, signed, carried.
#include "builder/signed_uninstaller.h"

#include <variant>

#include "builder/pe_resources.h"
#include "core/byte_source.h"
#include "payload/settings_flags.h"
#include "payload/section_locator.h"

namespace palisade::tools {

bool WritesStrippedUninstaller(const InstallerSettings& settings, std::uint32_t payloadFlags) {
    return (settings.settingsFlags1 & Flags1::kUninstaller) && (payloadFlags & PayloadFlags::kStrippedInstaller);
}

UninstallerImage MakeUninstallerImage(const std::vector<std::uint8_t>& stub, const InstallerSettings& settings) {
    UninstallerImage made;
    made.image = stub;
    if (settings.uninstallerIcon.empty()) return made;
    ResourceRead read = ReadResources(made.image);
    if (!read.error.empty()) {
        made.error = "the stub's resources cannot be read: " + read.error;
        return made;
    }
    made.error = ReplaceIcons(read.resources, ByteView(settings.uninstallerIcon));
    if (made.error.empty()) made.error = ReplaceResourceSection(made.image, read.resources);
    return made;
}

std::optional<std::vector<std::uint8_t>> MakeSignedUninstaller(const std::vector<std::uint8_t>& stub,
                                                               const InstallerSettings& settings,
                                                               const SignCommand& sign, Progress& progress,
                                                               Diagnostics& diagnostics) {
    UninstallerImage made = MakeUninstallerImage(stub, settings);
    if (!made.error.empty()) {
        diagnostics.Error(sign.place, "cannot make the uninstaller to sign: " + made.error);
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> signedImage = SignImage(made.image, "uninstall.exe", sign, progress, diagnostics);
    if (!signedImage) return std::nullopt;
    // The image must still be a program the installer can write as its uninstaller.
    SectionLookup lookup = LocateSetupSection(MemoryByteSource(*signedImage));
    if (!std::holds_alternative<NoSetupSection>(lookup)) {
        diagnostics.Error(sign.place, "the sign command did not leave the uninstaller a program without payload");
        return std::nullopt;
    }
    return signedImage;
}

}  // namespace palisade::tools
