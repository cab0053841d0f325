// The uninstaller's decisions that need no system: which recorded paths may
// be touched at all, which folders are removed and in what order, when a
// folder counts as empty, which registry keys may be deleted, and the
// removal of a product's registry key with its emptied parents.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "actions/registry_path.h"

namespace palisade {

// A recorded file or folder path the uninstaller acts on: a full path below
// a drive root ("C:\x") or a share ("\\server\share\x") whose components
// are plain names: no ".", "..", empty component, trailing dot or blank,
// stream name, wildcard or device namespace ("\\?\", "\\.\"). Anything else
// could name another file than it seems to, so it is left alone.
bool IsRemovablePath(std::u16string_view path);

// The folder that holds `path` (without trailing backslash); empty for a root.
std::u16string ParentFolder(std::u16string_view path);

// True when `path` lies inside `folder` (not the folder itself), letter case ignored.
bool IsInsideFolder(std::u16string_view path, std::u16string_view folder);

// A folder whose entries are only "thumbs.db" and "desktop.ini" (any case)
// counts as empty; `names` leaves out "." and "..".
bool CountsAsEmptyFolder(const std::vector<std::u16string>& names);
bool IsShellLeftover(std::u16string_view name);

// The folders to try, deepest first, each once (letter case ignored): the
// recorded folders, the folders of deleted files that lie inside the
// installation folder (or are the installation folder), and each of their
// parents up to and including the installation folder.
struct FolderCandidates {
    std::vector<std::u16string> recorded;       // "~" lines and the "!" line
    std::vector<std::u16string> ofDeletedFiles; // the folder of each deleted file
    std::u16string installFolder;
};
std::vector<std::u16string> FolderRemovalOrder(const FolderCandidates& candidates);

// The recorded folders that hold the installation folder (the parents an
// installation made for it, such as C:\Apps for C:\Apps\Product), deepest
// first: the self-removal script removes them, when empty, after the
// installation folder, which still holds the running uninstaller before.
std::vector<std::u16string> RecordedParentsOf(const std::vector<std::u16string>& recorded,
                                              std::u16string_view installFolder);

// A "*" or "^" key, or a one-field "[Registry2]" line: whether deleting it
// with everything below it is allowed: never for a protected key (the
// roots, "Software", "Software\Microsoft", CLSID, SYSTEM, ...).
bool IsDeletableKey(const RegistryPath& key);

// Deletes keys for `RemoveKeyChain`; the Windows side deletes registry keys.
class KeyRemover {
public:
    virtual ~KeyRemover() = default;
    // Deletes `subKey` (below the remover's root) with everything below it.
    virtual bool DeleteTree(std::u16string_view subKey) = 0;
    // Deletes `subKey` only when it has neither values nor sub-keys.
    virtual bool DeleteIfEmpty(std::u16string_view subKey) = 0;
};

inline constexpr int kMaxKeyChainLevels = 20;

// Deletes "Software\" + `productKey` with its contents,
// then each parent below "Software" while the parent is empty, at most 20
// levels in all; stops at the first level that cannot be deleted or is
// protected. Returns the number of keys deleted. An empty or ".."-holding
// path, or one that names a protected key ("Microsoft"), deletes nothing.
int RemoveKeyChain(KeyRemover& remover, std::u16string_view productKey);

// "ProductFlags": the two settings flag words as one decimal number
// (`SettingsFlags2` the high half). Leading blanks allowed; junk after the
// digits ends the number; nothing readable gives 0.
struct ProductFlagWords {
    std::uint32_t flags1 = 0;
    std::uint32_t flags2 = 0;
};
ProductFlagWords ParseProductFlags(std::u16string_view text);
std::uint32_t ParseUnsignedDecimal(std::u16string_view text);

// One font of "ProductFonts": "\"face\" \"file\" " per font. A trailing
// face without its file is dropped.
struct FontRecord {
    std::u16string face;
    std::u16string file;
};
std::vector<FontRecord> ParseProductFonts(std::u16string_view text);

// Whether a font is removed without asking: "UninstallFonts" 0 keeps every
// font, 1 removes every font, anything else asks, except in automatic and
// silent runs, which keep the fonts (other programs may use them).
enum class FontDecision { Keep, Remove, Ask };
FontDecision DecideFontRemoval(std::uint32_t uninstallFonts, bool automaticOrSilent);

// Wide text in Windows-1252 (the batch runner's narrow form); characters
// the code page lacks become "?".
std::string ToWindows1252(std::u16string_view text);

// The support-offer address test: an "http://", "https://" or "mailto:"
// address with something after the scheme and no blanks or control characters.
bool IsSupportAddress(std::u16string_view text);

// The progress position for the `index`-th of `count` file lines: 11 to 92.
int FileProgressPercent(std::size_t index, std::size_t count);

}  // namespace palisade
