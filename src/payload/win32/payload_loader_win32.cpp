// The stub's reading of its own payload.
#include "payload/win32/payload_loader_win32.h"

#include <windows.h>

#include <algorithm>

#include "core/fatal_codes.h"
#include "core/format.h"
#include "core/text.h"
#include "core/win32/fatal.h"
#include "core/win32/process_state.h"
#include "core/win32/system_library.h"
#include "payload/archive.h"
#include "payload/crc32.h"
#include "payload/settings_flags.h"
#include "payload/settings_schema.h"
#include "payload/signature_result.h"
#include "payload/stripped_installer.h"
#include "payload/uninstaller_image.h"
#include "payload/win32/signature_check_win32.h"

namespace palisade {

namespace {

// The section's data as the loader mapped it. Only what is both in the file
// and in the mapped image is readable: the smaller of raw and virtual size.
ByteView MappedSection(HINSTANCE instance, const SetupSection& section) {
    auto* base = reinterpret_cast<const std::uint8_t*>(instance);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* entry = IMAGE_FIRST_SECTION(nt) + section.index;
    std::size_t length = std::min<std::size_t>(section.rawSize, entry->Misc.VirtualSize);
    return ByteView(base + section.virtualAddress, length);
}

PayloadHeader ReadHeaderOrDie(ByteView payload) {
    PayloadHeaderRead read = ReadPayloadHeader(payload);
    if (auto* error = std::get_if<PayloadError>(&read)) FatalError(error->code);
    if (auto* mismatch = std::get_if<BuilderVersionMismatch>(&read)) {
        FatalWide(FormatVersionMismatch(Process().caption, mismatch->storedVersion));
    }
    return std::get<PayloadHeader>(std::move(read));
}

void TestIntegrity(const LoadedPayload& payload, const std::vector<std::uint8_t>& head,
                   const OwnExecutable& executable, const SetupSection& section) {
    switch (payload.settings.integrityMode) {
        case 1:
            if (int code = CheckIntegrity(head, section.peHeaderOffset, payload.header.fileChecksum)) {
                FatalError(code);
            }
            break;
        case 2: {
            SignatureCheck check = VerifyOwnSignature(executable.path);
            if (SignatureResultIsFatal(check.result, check.lastError)) {
                FatalError(FatalCode::kSignatureBase + check.result, Win32Status(check.lastError));
            }
            break;
        }
        default:
            break;
    }
}

// A 64-bit-only product reads and writes the native system folders, so file
// system redirection is switched off for the whole run. Whether that worked
// is acted on by the bitness check of the installation.
void SwitchOffRedirectionFor64BitOnly(const InstallerSettings& settings) {
    if (settings.bitness != 1) return;
    using DisableFunction = BOOL(WINAPI*)(PVOID*);
    auto disable = KernelFunction<DisableFunction>("Wow64DisableWow64FsRedirection");
    PVOID previous = nullptr;
    Process().wow64RedirectionOff = disable != nullptr && disable(&previous) != FALSE;
}

}  // namespace

std::unique_ptr<LoadedPayload> LoadPayload(HINSTANCE instance, const OwnExecutable& executable,
                                           const SetupSection& section) {
    auto payload = std::make_unique<LoadedPayload>();
    payload->section = MappedSection(instance, section);
    payload->header = ReadHeaderOrDie(payload->section);
    Process().deploymentExitCodes = (payload->header.payloadFlags & PayloadFlags::kDeploymentExitCodes) != 0;
    payload->cipher = std::make_unique<PayloadCipher>(payload->header);

    SettingsBlockResult block = DecodeSettingsBlock(payload->header, payload->section, *payload->cipher);
    if (block.errorCode != 0) FatalError(block.errorCode);
    InstallerProcess& process = Process();
    SettingsReadOptions options;
    options.silent = process.options.silent;
    if (!process.options.productNameOverride.empty()) options.productNameOverride = process.options.productNameOverride;
    SettingsResult settings = ReadSettings(block.block, payload->header.settingsChecksum, options);
    if (!settings.settings) FatalError(settings.errorCode);
    payload->settings = std::move(*settings.settings);
    SwitchOffRedirectionFor64BitOnly(payload->settings);
    const MessageCatalogue* catalogue = &payload->settings.messageCatalogue;
    process.message = [catalogue](int index) { return catalogue->Message(index); };

    ExecutableBytes head = ReadExecutableHead(executable.file, section);
    if (head.errorCode != 0) FatalError(head.errorCode);
    TestIntegrity(*payload, head.bytes, executable, section);
    if (payload->header.payloadFlags & PayloadFlags::kStrippedInstaller) {
        ExecutableBytes stripped = PrepareUninstallerImage(std::move(head.bytes), executable.file, section, payload->header);
        if (stripped.errorCode != 0) FatalError(stripped.errorCode);
        payload->strippedInstaller = std::move(stripped.bytes);
        payload->uninstallerSize = payload->strippedInstaller.size();
    } else {
        payload->uninstallerSize = executable.file.Size();
    }
    return payload;
}

ArchiveLocation LoadArchive(const LoadedPayload& payload, const OwnExecutable& executable,
                            const SetupSection& section) {
    ArchiveLocation archive;
    std::int64_t available = 0;
    if (payload.settings.archiveInFile == 0) {
        // Bounded by what the loader mapped, as the section's data always was.
        std::optional<ByteView> inSection = ArchiveBytesInSection(payload.header, payload.section);
        if (!inSection) FatalError(FatalCode::kArchiveAvailable);
        archive.position = std::uint64_t(section.rawPosition) + payload.header.archiveOffset;
        available = std::int64_t(inSection->size);
    } else {
        ArchiveFileRange range = ArchiveRangeInFile(payload.header, section.rawPosition, executable.file.Size());
        if (range.available < 0) {
            FatalWide(Format(kArchiveReadFailedText, {range.available, std::int64_t(range.position)}));
        }
        archive.position = range.position;
        available = range.available;
    }
    if (int code = CheckArchiveLength(payload.header, available)) FatalError(code);
    archive.length = std::uint64_t(available);
    std::optional<std::uint32_t> checksum = Crc32OfRange(executable.file, archive.position, archive.length);
    if (!checksum) FatalWide(Format(kArchiveReadFailedText, {available, std::int64_t(archive.position)}));
    if (*checksum != payload.header.archiveChecksum) FatalError(FatalCode::kArchiveChecksum);
    return archive;
}

}  // namespace palisade
