// The Program Files and Common Files folders by FolderKind.
#include "variables/program_files_folders.h"

#include "variables/folder_lookup.h"

namespace palisade {

const FolderGuid kFolderIdProgramFilesX64 = {
    0x6D809377, 0x6AF0, 0x444B, {0x89, 0x57, 0xA3, 0x77, 0x3F, 0x02, 0x20, 0x0E}};
const FolderGuid kFolderIdProgramFiles = {
    0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}};
const FolderGuid kFolderIdProgramFilesCommonX64 = {
    0x6365D5A7, 0x0F0D, 0x45E5, {0x87, 0xF6, 0x0D, 0xA5, 0x6B, 0x6A, 0x4F, 0x7D}};
const FolderGuid kFolderIdProgramFilesCommon = {
    0xF7F1ED05, 0x9F6D, 0x47A2, {0xAA, 0xAE, 0x29, 0xD3, 0x17, 0xC6, 0xF0, 0x66}};

namespace {

// The 64-bit folder guessed from the x86 one when the system names neither.
std::u16string WithoutX86(std::u16string folder) {
    constexpr std::u16string_view kX86 = u" (x86)";
    std::size_t at = folder.find(kX86);
    if (at != std::u16string::npos) folder.erase(at, kX86.size());
    return folder;
}

std::u16string NativeProgramFiles(SystemFacts& facts) {
    FolderLookup lookup;
    lookup.csidl = kCsidlProgramFiles;
    lookup.knownFolder = &kFolderIdProgramFiles;
    lookup.registry = FolderRegistry::CurrentVersion;
    lookup.registryValue = u"ProgramFilesDir";
    return LookUpFolder(facts, lookup).value_or(u"c:\\Program Files");
}

std::u16string NativeCommonFiles(SystemFacts& facts) {
    FolderLookup lookup;
    lookup.csidl = kCsidlProgramFilesCommon;
    lookup.knownFolder = &kFolderIdProgramFilesCommon;
    lookup.registry = FolderRegistry::CurrentVersion;
    lookup.registryValue = u"CommonFilesDir";
    if (auto found = LookUpFolder(facts, lookup)) return *found;
    return JoinFolder(NativeProgramFiles(facts), u"Common Files");
}

}  // namespace

std::u16string ProgramFilesFolder(FolderKind kind, SystemFacts& facts) {
    if (NormaliseFolderKind(kind, facts.OsVersion().is64Bit) != FolderKind::View64) {
        return NativeProgramFiles(facts);
    }
    FolderLookup lookup;
    lookup.knownFolder = &kFolderIdProgramFilesX64;
    lookup.environmentVariable = u"ProgramW6432";
    if (auto found = LookUpFolder(facts, lookup)) return *found;
    return WithoutX86(ProgramFilesFolder(FolderKind::View32, facts));
}

std::u16string CommonFilesFolder(FolderKind kind, SystemFacts& facts) {
    if (NormaliseFolderKind(kind, facts.OsVersion().is64Bit) != FolderKind::View64) {
        return NativeCommonFiles(facts);
    }
    FolderLookup lookup;
    lookup.knownFolder = &kFolderIdProgramFilesCommonX64;
    lookup.environmentVariable = u"CommonProgramW6432";
    if (auto found = LookUpFolder(facts, lookup)) return *found;
    return WithoutX86(CommonFilesFolder(FolderKind::View32, facts));
}

}  // namespace palisade
