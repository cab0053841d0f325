// Builds the complete installer executable: the stub with the payload section appended.
#include "payload/installer_image.h"

#include "payload/archive.h"
#include "payload/pe_appender.h"
#include "payload/settings_flags.h"
#include "payload/settings_schema.h"
#include "payload/uninstaller_image.h"

namespace palisade {
namespace {

constexpr std::int32_t kChecksumIntegrityMode = 1;

// The settings block as stored; the error names every value the reader would refuse.
EncodedSettings EncodeSettings(const InstallerSettings& settings, const PayloadOptions& options) {
    SettingsWriteResult written = WriteSettingsChecked(settings);
    if (!written.problems.empty()) {
        EncodedSettings refused;
        refused.error = "the settings cannot be stored:";
        for (const std::string& problem : written.problems) refused.error += "\n  " + problem;
        return refused;
    }
    return EncodeSettingsBlock(written.block, options);
}

}  // namespace

InstallerBuild BuildInstallerImage(const std::vector<std::uint8_t>& stub, const InstallerSettings& settings,
                                   const std::vector<PayloadItem>& items, const PayloadOptions& options,
                                   const std::vector<std::uint8_t>& uninstallerImage) {
    InstallerBuild build;
    StubInspection stubLayout = InspectStub(stub);
    if (!stubLayout.error.empty()) {
        build.error = stubLayout.error;
        return build;
    }
    ArchiveBuild archive = EncodeArchive(items, (settings.settingsFlags1 & Flags1::kCompressedChunks) != 0, options);
    if (!archive.error.empty()) {
        build.error = archive.error;
        return build;
    }

    InstallerSettings stored = settings;
    EncodedSettings encoded = EncodeSettings(stored, options);
    bool ciphered = (options.payloadFlags & PayloadFlags::kCiphered) != 0;
    std::size_t headerLength = PayloadHeaderLength(items.size(), ciphered);
    if (encoded.error.empty() && stored.archiveInFile != 0 &&
        !SetupSectionSize(headerLength + encoded.stored.size(), archive.archive.bytes.size(), true,
                          stubLayout.layout.sectionAlignment)) {
        stored.archiveInFile = 0;
        encoded = EncodeSettings(stored, options);
        build.notes.push_back("the archive is too small to be kept in the file after the section; it is kept in the section");
    }
    if (!encoded.error.empty()) {
        build.error = encoded.error;
        return build;
    }

    PayloadBuild payload = AssemblePayload(encoded, std::move(archive.archive), stored.archiveInFile != 0,
                                           stored.integrityMode == kChecksumIntegrityMode, options);
    if (!payload.error.empty()) {
        build.error = payload.error;
        return build;
    }
    if (!uninstallerImage.empty()) {
        auto record = EncodeCarriedUninstaller(uninstallerImage, options.xzPreset);
        if (!record) {
            build.error = "the uninstaller image cannot be carried (empty, larger than 64 MiB, or xz failed)";
            return build;
        }
        payload.payload.carriedUninstaller = std::move(*record);
    }
    AppendResult appended = AppendSetupSection(stub, payload.payload);
    build.image = std::move(appended.image);
    build.error = std::move(appended.error);
    return build;
}

}  // namespace palisade
