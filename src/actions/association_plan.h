// The text side of a file association: its verbs, the program identifier's
// key name, the icon path, the backup value name and the uninstall record line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade {

inline constexpr char16_t kAssociationFieldSeparator[] = u"~!~";

// The verb names of the comma-separated list, blanks trimmed, empty names
// dropped; an empty list means the one verb "open".
std::vector<std::u16string> AssociationVerbs(std::u16string_view verbList);

// The command line or label of the verb at `index`: a text of one line
// serves every verb; a text of several lines (LF or CR LF) gives each verb
// its own, in the order of the verb list (a verb beyond the last line gets
// the last).
std::u16string TextForVerb(std::u16string_view perVerbText, std::size_t index);

// True when the extension key gets the program identifier as its default
// value: the identifier is not empty and does not begin with "!".
bool SetsExtensionDefault(std::u16string_view progId);

// The key name under the classes root: the identifier without a leading "!".
std::u16string ProgIdKeyName(std::u16string_view progId);

// The "DefaultIcon" text: empty stays empty; a relative path (no drive
// letter, no leading backslash) is taken relative to the installation folder.
std::u16string AssociationIconPath(std::u16string_view expandedIcon, std::u16string_view installFolder);

// "<product> Backup": the value that keeps a default value this product replaced.
std::u16string BackupValueName(std::u16string_view productName);

// "extension~!~ProgID~!~verb~!~icon\r\n" in UTF-8.
std::string AssociationRecordLine(std::u16string_view extension, std::u16string_view progId, std::u16string_view verb,
                                  std::u16string_view icon);

}  // namespace palisade
