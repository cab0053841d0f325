// Shared files: where the shared folder lies, and raising each shared file's
// system-wide reference count once per product.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payload/settings.h"
#include "variables/installation_state.h"
#include "variables/system_facts.h"

namespace palisade {

inline constexpr std::u16string_view kSharedDllsKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The folder the shared sub-folder name is resolved against.
enum class SharedFolderBase {
    CommonAppData,       // selector 1
    CommonFiles32,       // selector 2
    CommonFiles64,       // selector 3
    CommonFilesDefault,  // any other selector: 64-bit for a 64-bit-only product, else the system's default
};

SharedFolderBase ChooseSharedFolderBase(std::uint8_t selector, std::uint8_t bitness);

// True for "X:..." and for paths that begin with a backslash.
bool IsAbsoluteFolder(std::u16string_view path);

// The shared folder from the settings, the run state and the folder of the
// chosen base (`baseFolder`): in a portable installation with an alternative
// sub-folder, the installation folder joined with it; otherwise the shared
// sub-folder joined with the base. An absolute name is used unchanged; an
// empty name gives no shared folder.
std::u16string ComposeSharedFolder(const InstallerSettings& settings, const InstallationState& state,
                                   std::u16string_view baseFolder);

// The same, looking the base folder up through `facts`.
std::u16string SharedFolderFor(const InstallerSettings& settings, const InstallationState& state, SystemFacts& facts);

// Where the counts live; the Windows side keeps them in the SharedDLLs key.
// Where the counts live (the Windows side keeps them in the SharedDLLs key);
// the installer raises them, the uninstaller lowers and deletes them.
class SharedCountStore {
public:
    virtual ~SharedCountStore() = default;
    // The count of `path`; none when it has none (or a value that is no count).
    virtual std::optional<std::uint32_t> Read(std::u16string_view path) = 0;
    // 0 on success, else the system error code.
    virtual std::uint32_t Write(std::u16string_view path, std::uint32_t count) = 0;
    virtual bool Delete(std::u16string_view path) = 0;
};

// `path` with one leading "^", then one leading blank, then one leading U+00A9
// removed, each only when present.
std::u16string StripSharedMarks(std::u16string_view entry);

// An entry as it appears in the shared-files record: in double quotes, mark included.
std::u16string QuotedSharedEntry(std::u16string_view entry);

struct SharedCountFailure {
    std::u16string path;  // marks stripped
    std::uint32_t error = 0;
};

// Raises the count of every entry not yet in `record` and appends the entry
// to `record` (also when the write failed, so the uninstaller lowers it again).
std::vector<SharedCountFailure> IncrementSharedCountsIn(const std::vector<std::u16string>& entries,
                                                       std::u16string& record, SharedCountStore& store);

// "Failed to increment reference count of shared file \"P\" : <error>\r\n".
std::u16string SharedCountFailureLine(std::u16string_view path, std::u16string_view errorText);

// The failure entry when the SharedDLLs key cannot be opened.
std::u16string SharedKeyFailureText(std::u16string_view codeText, std::u16string_view errorText,
                                    std::u16string_view osName);

// "Failed to create shared folder \"F\": <error>\r\n".
std::u16string SharedFolderFailureText(std::u16string_view folder, std::u16string_view errorText);

}  // namespace palisade
