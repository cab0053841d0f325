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

ByteView LoadArchive(const LoadedPayload& payload, const OwnExecutable& executable, const SetupSection& section,
                     MappedFileRange& mapping) {
    ByteView archive;
    if (payload.settings.archiveInFile == 0) {
        std::optional<ByteView> inSection = ArchiveBytesInSection(payload.header, payload.section);
        if (!inSection) FatalError(FatalCode::kArchiveAvailable);
        archive = *inSection;
    } else {
        ArchiveFileRange range = ArchiveRangeInFile(payload.header, section.rawPosition, executable.file.Size());
        bool mapped = range.available >= 0 && std::uint64_t(range.available) <= SIZE_MAX;
        if (mapped) {
            Win32Result<MappedFileRange> view =
                MapFileRange(executable.file.Handle(), std::uint64_t(range.position), std::size_t(range.available));
            mapped = view.ok();
            if (mapped) mapping = std::move(view).value();
        }
        if (!mapped) {
            FatalWide(Format(kArchiveReadFailedText, {std::int64_t(range.available), std::int64_t(range.position)}));
        }
        archive = mapping.View();
    }
    if (int code = CheckArchiveLength(payload.header, std::int64_t(archive.size))) FatalError(code);
    if (int code = CheckArchiveChecksum(payload.header, archive)) FatalError(code);
    return archive;
}

}  // namespace palisade
