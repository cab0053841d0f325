// The uninstall list and the installed-path set.
#include "log/installation_record.h"

#include "core/program_narrow.h"
#include "core/text.h"

namespace palisade {
namespace {

std::u16string Folded(std::u16string_view path) {
    std::u16string folded(path);
    for (char16_t& c : folded) c = FoldCase(c);
    return folded;
}

char PrefixOf(UninstallItemType type) {
    switch (type) {
        case UninstallItemType::File: return 0;
        case UninstallItemType::Folder: return '~';
        case UninstallItemType::InstallFolder: return '!';
        case UninstallItemType::ActionItem: return '^';
        case UninstallItemType::RegistryKey: return '*';
    }
    return 0;
}

}  // namespace

void UninstallList::Record(std::u16string_view path, UninstallItemType type) {
    if (path.size() <= 3) return;
    char prefix = PrefixOf(type);
    if (!m_recorded.insert(char16_t(prefix) + Folded(path)).second) return;
    if (prefix) m_text += prefix;
    m_text += type == UninstallItemType::InstallFolder ? Utf16ToUtf8(path) : EncodeProgramNarrow(path);
    m_text += "\r\n";
}

void PathSet::Insert(std::u16string_view path) { m_paths.insert(Folded(path)); }

bool PathSet::Contains(std::u16string_view path) const { return m_paths.count(Folded(path)) != 0; }

}  // namespace palisade
