// Undoing what the installation wrote to the registry: recorded keys, the
// "[Registry2]" lines, the file associations and the product's own key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "log/install_log.h"
#include "uninstall/uninstall_data_reader.h"

namespace palisade {

// A "*" (or "^") line: the key in registry path notation, deleted with
// everything below it. Keys the rules refuse are left alone.
void DeleteRecordedKey(std::u16string_view notation);

// The "[Registry2]" lines: one-field lines delete their key, value lines act
// by their operation (1, 5 and 6 delete the value, and then the key when it
// is left empty); "HKAU" lines act in every user's hive.
void UndoRegistryEntries(const std::vector<std::string>& lines);

// The "[Associations]" records: the ProgID's value under "OpenWithProgids",
// its "DefaultIcon" and its "shell\<verb>" keys, with the default values
// saved under "<product> Backup" given back; keys left empty are removed.
void RemoveAssociations(const std::vector<std::string>& lines, std::u16string_view productName);

// "Software\<productRegistry>" in the machine's hive and every user's hive,
// with each parent that is left empty.
void RemoveProductRegistryKey(std::u16string_view productRegistry);

}  // namespace palisade
