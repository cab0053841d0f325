// The lines the registry steps add to the "[Registry2]" record: what the
// uninstaller undoes. Only what this installation made is recorded: the
// shallowest key it created (deleted with everything below it), or the value
// it wrote into a key that was there before (the value alone is deleted).
#pragma once

#include <string>
#include <string_view>

#include "actions/registry_path.h"

namespace palisade {

// One field of an entry line: quoted, with quotes doubled, when it holds a
// comma, a quote or blanks at either end that the reader would drop.
std::u16string EntryField(std::u16string_view text);

// "\HKCU\Software\Acme" + CR LF.
std::u16string KeyRecordLine(const RegistryPath& key);

// "\HKCU\Software\Run,Acme,1,,1" + CR LF: the uninstaller deletes that value.
std::u16string ValueRecordLine(const RegistryPath& key, std::u16string_view valueName);

// Appends `line` (which ends with CR LF) on a line of its own.
void AppendRecordLine(std::u16string& record, std::u16string_view line);

}  // namespace palisade
