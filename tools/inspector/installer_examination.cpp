// Reads an installer the way the stub does: section, header, settings, integrity, archive, items.
#include "inspector/installer_examination.h"

#include <variant>

#include "payload/archive.h"
#include "payload/item_walker.h"
#include "payload/payload_decoder.h"
#include "payload/settings_schema.h"
#include "payload/pe_certificate.h"
#include "payload/stripped_installer.h"
#include "payload/uninstaller_image.h"
#include "payload/settings_flags.h"

namespace palisade::tools {

namespace {

constexpr std::int32_t kChecksumIntegrityMode = 1;

void Fail(Inspection& inspection, int code, std::string check = {}) {
    inspection.errorCode = code;
    inspection.failedCheck = check.empty() ? DescribeErrorCode(code) : std::move(check);
}

bool LocateSection(const std::vector<std::uint8_t>& image, Inspection& inspection) {
    SectionLookup lookup = LocateSetupSection(MemoryByteSource(image));
    if (auto* error = std::get_if<SectionError>(&lookup)) {
        Fail(inspection, error->code);
        return false;
    }
    if (std::holds_alternative<NoSetupSection>(lookup)) {
        Fail(inspection, 0, "no .setup section: this is not an installer (a bare stub or an uninstaller copy)");
        return false;
    }
    inspection.section = std::get<SetupSection>(lookup);
    // Windows refuses to load an image whose section data runs past the end of
    // the file, so the installer never gets to its own checks.
    std::uint64_t sectionEnd = std::uint64_t(inspection.section->rawPosition) + inspection.section->rawSize;
    if (sectionEnd > image.size()) {
        Fail(inspection, 0, "the file ends " + std::to_string(sectionEnd - image.size()) +
                                " bytes before the end of the .setup section: it was cut short, and Windows will not start it");
        return false;
    }
    return true;
}

// The section's bytes as the loader maps them: its raw data, cut at the end of the file.
ByteView SectionBytes(const std::vector<std::uint8_t>& image, const SetupSection& section) {
    return ByteView(image).Sub(section.rawPosition, section.rawSize);
}

bool ReadHeader(ByteView payload, Inspection& inspection) {
    PayloadHeaderRead read = ReadPayloadHeader(payload);
    if (auto* error = std::get_if<PayloadError>(&read)) {
        Fail(inspection, error->code);
        return false;
    }
    if (auto* mismatch = std::get_if<BuilderVersionMismatch>(&read)) {
        Fail(inspection, 0, "builder version is \"" + mismatch->storedVersion + "\", not \"" + kBuilderVersion + "\"");
        return false;
    }
    inspection.header = std::get<PayloadHeader>(read);
    return true;
}

bool ReadSettingsBlock(ByteView payload, const PayloadCipher& cipher, Inspection& inspection) {
    SettingsBlockResult block = DecodeSettingsBlock(*inspection.header, payload, cipher);
    if (block.errorCode != 0) {
        Fail(inspection, block.errorCode);
        return false;
    }
    SettingsResult settings = ReadSettings(block.block, inspection.header->settingsChecksum);
    if (!settings.settings) {
        Fail(inspection, settings.errorCode);
        return false;
    }
    inspection.settings = std::move(settings.settings);
    return true;
}

bool CheckHead(const std::vector<std::uint8_t>& image, Inspection& inspection) {
    const SetupSection& section = *inspection.section;
    ExecutableBytes head = ReadExecutableHead(MemoryByteSource(image), section);
    if (head.errorCode != 0) {
        Fail(inspection, head.errorCode);
        return false;
    }
    inspection.integrityCrc = IntegrityCrc(head.bytes, section.peHeaderOffset);
    if (inspection.settings->integrityMode == kChecksumIntegrityMode) {
        if (int code = CheckIntegrity(head.bytes, section.peHeaderOffset, inspection.header->fileChecksum)) {
            Fail(inspection, code);
            return false;
        }
    }
    if (!(inspection.header->payloadFlags & PayloadFlags::kStrippedInstaller)) return true;
    ExecutableBytes uninstaller =
        PrepareUninstallerImage(std::move(head.bytes), MemoryByteSource(image), section, *inspection.header);
    if (uninstaller.errorCode != 0) {
        Fail(inspection, uninstaller.errorCode);
        return false;
    }
    inspection.uninstaller =
        Inspection::Uninstaller{uninstaller.carried, CarriesSignature(uninstaller.bytes), uninstaller.bytes.size()};
    return true;
}

std::optional<ByteView> LocateArchive(const std::vector<std::uint8_t>& image, ByteView payload,
                                      Inspection& inspection) {
    const PayloadHeader& header = *inspection.header;
    if (inspection.settings->archiveInFile == 0) {
        std::optional<ByteView> archive = ArchiveBytesInSection(header, payload);
        if (!archive) Fail(inspection, 46);
        return archive;
    }
    ArchiveFileRange range = ArchiveRangeInFile(header, inspection.section->rawPosition, image.size());
    if (range.available < 0) {
        Fail(inspection, 0, "failed to read archive data (it would start past the end of the file)");
        return std::nullopt;
    }
    return ByteView(image).Sub(range.position, std::size_t(range.available));
}

void WalkItems(ByteView archive, const PayloadCipher& cipher, Inspection& inspection) {
    bool compressed = (inspection.settings->settingsFlags1 & Flags1::kCompressedChunks) != 0;
    ItemWalker walker(*inspection.header, archive, cipher, compressed);
    for (;;) {
        FileEntry entry;
        ItemStep step = walker.Next(entry);
        if (step.status == WalkStatus::Finished) return;
        if (step.status == WalkStatus::Failed) {
            Fail(inspection, step.errorCode);
            return;
        }
        InspectedItem item;
        item.dataSize = entry.data.size;
        item.entry = std::move(entry);
        item.entry.data = {};
        inspection.items.push_back(std::move(item));
    }
}

}  // namespace

Inspection InspectInstaller(const std::vector<std::uint8_t>& image, bool walkItems) {
    Inspection inspection;
    inspection.fileSize = image.size();
    inspection.signedInstaller = CarriesSignature(image);
    if (!LocateSection(image, inspection)) return inspection;
    ByteView payload = SectionBytes(image, *inspection.section);
    if (!ReadHeader(payload, inspection)) return inspection;
    PayloadCipher cipher(*inspection.header);
    if (!ReadSettingsBlock(payload, cipher, inspection)) return inspection;
    if (!CheckHead(image, inspection)) return inspection;
    std::optional<ByteView> archive = LocateArchive(image, payload, inspection);
    if (!archive) return inspection;
    if (int code = CheckArchive(*inspection.header, *archive)) {
        Fail(inspection, code);
        return inspection;
    }
    if (walkItems) WalkItems(*archive, cipher, inspection);
    return inspection;
}

}  // namespace palisade::tools
