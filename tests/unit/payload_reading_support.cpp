// The installer's order of reading its own executable, as the stub follows it:
// section, header, settings, integrity, stripped image, archive, items.
#include <algorithm>

#include "core/byte_source.h"
#include "payload/archive.h"
#include "payload/item_walker.h"
#include "payload/payload_decoder.h"
#include "payload/section_locator.h"
#include "payload/settings_flags.h"
#include "payload/settings_schema.h"
#include "payload/stripped_installer.h"
#include "payload/uninstaller_image.h"
#include "payload_test_support.h"

namespace palisade::testing {
namespace {

// The archive, as an exactly sized buffer so that a read beyond it is caught.
std::optional<std::vector<std::uint8_t>> ArchiveBytes(const PayloadHeader& header, const InstallerSettings& settings,
                                                      const std::vector<std::uint8_t>& mapped,
                                                      const ByteSource& file, const SetupSection& section,
                                                      int& errorCode) {
    if (settings.archiveInFile == 0) {
        auto inSection = ArchiveBytesInSection(header, mapped);
        if (!inSection) {
            errorCode = 46;
            return std::nullopt;
        }
        return inSection->Copy();
    }
    ArchiveFileRange range = ArchiveRangeInFile(header, section.rawPosition, file.Size());
    if ((errorCode = CheckArchiveLength(header, range.available)) != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(range.available));
    if (!file.ReadAt(range.position, bytes.data(), bytes.size())) errorCode = -2;
    return bytes;
}

void WalkItems(const PayloadHeader& header, const std::vector<std::uint8_t>& archive, const PayloadCipher& cipher,
               const InstallerSettings& settings, InstallerReading& reading) {
    ItemWalker walker(header, archive, cipher, (settings.settingsFlags1 & Flags1::kCompressedChunks) != 0);
    for (;;) {
        FileEntry entry;
        ItemStep step = walker.Next(entry);
        if (step.status == WalkStatus::Failed) reading.errorCode = step.errorCode;
        if (step.status != WalkStatus::Item) return;
        reading.progress.push_back(step.progressPercent);
        reading.entryData.push_back(entry.data.Copy());
        reading.entries.push_back(entry);
    }
}

// Integrity test and stripped image; 0 or the code of the failure.
int CheckExecutable(const PayloadHeader& header, const InstallerSettings& settings, const ByteSource& file,
                    const SetupSection& section, InstallerReading& reading) {
    ExecutableBytes head = ReadExecutableHead(file, section);
    if (head.errorCode) return head.errorCode;
    if (settings.integrityMode == 1) {
        if (int code = CheckIntegrity(head.bytes, section.peHeaderOffset, header.fileChecksum)) return code;
    }
    if (header.payloadFlags & PayloadFlags::kStrippedInstaller) {
        ExecutableBytes stripped = PrepareUninstallerImage(std::move(head.bytes), file, section, header);
        if (stripped.errorCode) return stripped.errorCode;
        reading.strippedImage = std::move(stripped.bytes);
    }
    return 0;
}

}  // namespace

InstallerReading ReadInstaller(const std::vector<std::uint8_t>& image) {
    InstallerReading reading;
    MemoryByteSource file(image);
    SectionLookup lookup = LocateSetupSection(file);
    if (!std::holds_alternative<SetupSection>(lookup)) {
        reading.errorCode = std::holds_alternative<SectionError>(lookup) ? std::get<SectionError>(lookup).code : -1;
        return reading;
    }
    const SetupSection& section = std::get<SetupSection>(lookup);
    std::size_t mappedEnd = std::min<std::size_t>(image.size(), std::size_t(section.rawPosition) + section.rawSize);
    std::vector<std::uint8_t> mapped(image.begin() + section.rawPosition, image.begin() + mappedEnd);

    PayloadHeaderRead read = ReadPayloadHeader(mapped);
    if (auto* error = std::get_if<PayloadError>(&read)) reading.errorCode = error->code;
    reading.versionMismatch = std::holds_alternative<BuilderVersionMismatch>(read);
    if (!std::holds_alternative<PayloadHeader>(read)) return reading;
    const PayloadHeader& header = std::get<PayloadHeader>(read);

    PayloadCipher cipher(header);
    SettingsBlockResult block = DecodeSettingsBlock(header, mapped, cipher);
    if ((reading.errorCode = block.errorCode) != 0) return reading;
    SettingsResult settings = ReadSettings(block.block, header.settingsChecksum);
    if ((reading.errorCode = settings.errorCode) != 0) return reading;
    reading.settings = settings.settings;
    if ((reading.errorCode = CheckExecutable(header, *settings.settings, file, section, reading)) != 0) return reading;

    auto archive = ArchiveBytes(header, *settings.settings, mapped, file, section, reading.errorCode);
    if (!archive) return reading;
    if (!reading.errorCode) reading.errorCode = CheckArchive(header, *archive);
    if (!reading.errorCode) WalkItems(header, *archive, cipher, *settings.settings, reading);
    for (std::size_t i = 0; i < reading.entries.size(); ++i) reading.entries[i].data = reading.entryData[i];
    return reading;
}

}  // namespace palisade::testing
