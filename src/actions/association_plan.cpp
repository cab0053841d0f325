// Verbs, names and the uninstall record line of file associations.
#include "actions/association_plan.h"

#include "actions/file_destination.h"
#include "core/text.h"
#include "variables/folder_lookup.h"

namespace palisade {

std::vector<std::u16string> AssociationVerbs(std::u16string_view verbList) {
    std::vector<std::u16string> verbs;
    std::size_t start = 0;
    while (start <= verbList.size()) {
        std::size_t comma = verbList.find(u',', start);
        std::size_t end = comma == std::u16string_view::npos ? verbList.size() : comma;
        std::u16string_view verb = verbList.substr(start, end - start);
        while (!verb.empty() && IsBlank(verb.front())) verb.remove_prefix(1);
        while (!verb.empty() && IsBlank(verb.back())) verb.remove_suffix(1);
        if (!verb.empty()) verbs.emplace_back(verb);
        start = end + 1;
    }
    if (verbs.empty()) verbs.emplace_back(u"open");
    return verbs;
}

std::u16string TextForVerb(std::u16string_view perVerbText, std::size_t index) {
    std::u16string_view line = perVerbText;
    std::size_t start = 0;
    for (std::size_t i = 0;; ++i) {
        std::size_t end = perVerbText.find(u'\n', start);
        line = perVerbText.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        if (i == index || end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return std::u16string(line);
}

bool SetsExtensionDefault(std::u16string_view progId) { return !progId.empty() && progId.front() != u'!'; }

std::u16string ProgIdKeyName(std::u16string_view progId) {
    if (!progId.empty() && progId.front() == u'!') progId.remove_prefix(1);
    return std::u16string(progId);
}

std::u16string AssociationIconPath(std::u16string_view expandedIcon, std::u16string_view installFolder) {
    if (expandedIcon.empty() || IsAbsolutePath(expandedIcon)) return std::u16string(expandedIcon);
    return JoinFolder(installFolder, expandedIcon);
}

std::u16string BackupValueName(std::u16string_view productName) { return std::u16string(productName) + u" Backup"; }

std::string AssociationRecordLine(std::u16string_view extension, std::u16string_view progId, std::u16string_view verb,
                                  std::u16string_view icon) {
    std::u16string line = std::u16string(extension) + kAssociationFieldSeparator + std::u16string(progId) +
                          kAssociationFieldSeparator + std::u16string(verb) + kAssociationFieldSeparator +
                          std::u16string(icon) + u"\r\n";
    return Utf16ToUtf8(line);
}

}  // namespace palisade
