// Shared folder placement and the once-per-product counting of shared files.
#include "actions/shared_counts.h"

#include <limits>

#include "variables/folder_lookup.h"
#include "variables/program_files_folders.h"
#include "variables/shell_folders.h"

namespace palisade {

SharedFolderBase ChooseSharedFolderBase(std::uint8_t selector, std::uint8_t bitness) {
    switch (selector) {
        case 1: return SharedFolderBase::CommonAppData;
        case 2: return SharedFolderBase::CommonFiles32;
        case 3: return SharedFolderBase::CommonFiles64;
        default: return bitness == kBitness64Only ? SharedFolderBase::CommonFiles64 : SharedFolderBase::CommonFilesDefault;
    }
}

bool IsAbsoluteFolder(std::u16string_view path) {
    if (!path.empty() && (path[0] == u'\\' || path[0] == u'/')) return true;
    return path.size() >= 2 && path[1] == u':';
}

std::u16string ComposeSharedFolder(const InstallerSettings& settings, const InstallationState& state,
                                   std::u16string_view baseFolder) {
    if (state.portable && !settings.alternativeSharedFolder.empty()) {
        if (IsAbsoluteFolder(settings.alternativeSharedFolder)) return settings.alternativeSharedFolder;
        return JoinFolder(state.installFolder, settings.alternativeSharedFolder);
    }
    if (settings.sharedPath.empty()) return {};
    if (IsAbsoluteFolder(settings.sharedPath)) return settings.sharedPath;
    return JoinFolder(baseFolder, settings.sharedPath);
}

std::u16string SharedFolderFor(const InstallerSettings& settings, const InstallationState& state, SystemFacts& facts) {
    // Only look the base up when it is used: each lookup asks the system.
    bool usesBase = !(state.portable && !settings.alternativeSharedFolder.empty()) && !settings.sharedPath.empty() &&
                    !IsAbsoluteFolder(settings.sharedPath);
    if (!usesBase) return ComposeSharedFolder(settings, state, {});
    std::u16string base;
    switch (ChooseSharedFolderBase(settings.folderBaseSelector, settings.bitness)) {
        case SharedFolderBase::CommonAppData: base = ShellFolderPath(ShellFolder::AppDataAll, facts); break;
        case SharedFolderBase::CommonFiles32: base = CommonFilesFolder(FolderKind::View32, facts); break;
        case SharedFolderBase::CommonFiles64: base = CommonFilesFolder(FolderKind::View64, facts); break;
        case SharedFolderBase::CommonFilesDefault: base = CommonFilesFolder(FolderKind::Native, facts); break;
    }
    return ComposeSharedFolder(settings, state, base);
}

std::u16string StripSharedMarks(std::u16string_view entry) {
    if (!entry.empty() && entry.front() == u'^') entry.remove_prefix(1);
    if (!entry.empty() && entry.front() == u' ') entry.remove_prefix(1);
    if (!entry.empty() && entry.front() == u'\u00A9') entry.remove_prefix(1);
    return std::u16string(entry);
}

std::u16string QuotedSharedEntry(std::u16string_view entry) {
    std::u16string quoted = u"\"";
    quoted.append(entry);
    quoted += u'"';
    return quoted;
}

std::vector<SharedCountFailure> IncrementSharedCountsIn(const std::vector<std::u16string>& entries,
                                                       std::u16string& record, SharedCountStore& store) {
    std::vector<SharedCountFailure> failures;
    for (const std::u16string& entry : entries) {
        std::u16string quoted = QuotedSharedEntry(entry);
        if (record.find(quoted) != std::u16string::npos) continue;  // counted before, by us
        std::u16string path = StripSharedMarks(entry);
        std::uint32_t count = store.Read(path).value_or(0);
        // A count at the top stays there rather than wrapping to zero, which
        // would let another product's uninstaller delete a file still in use.
        if (count != std::numeric_limits<std::uint32_t>::max()) ++count;
        if (std::uint32_t error = store.Write(path, count)) failures.push_back({path, error});
        if (!record.empty()) record += u';';
        record += quoted;
    }
    return failures;
}

std::u16string SharedCountFailureLine(std::u16string_view path, std::u16string_view errorText) {
    std::u16string line = u"Failed to increment reference count of shared file \"";
    line.append(path);
    line += u"\" : ";
    line.append(errorText);
    line += u"\r\n";
    return line;
}

std::u16string SharedKeyFailureText(std::u16string_view codeText, std::u16string_view errorText,
                                    std::u16string_view osName) {
    std::u16string text = u"Registry error: unable to increment shared file reference counts.\r\nHKLM\\";
    text.append(kSharedDllsKey);
    text += u"\r\nCode ";
    text.append(codeText);
    text += u": ";
    text.append(errorText);
    text += u"\r\nOS: ";
    text.append(osName);
    text += u"\r\n\r\n";
    return text;
}

std::u16string SharedFolderFailureText(std::u16string_view folder, std::u16string_view errorText) {
    std::u16string text = u"Failed to create shared folder \"";
    text.append(folder);
    text += u"\": ";
    text.append(errorText);
    text += u"\r\n";
    return text;
}

}  // namespace palisade
