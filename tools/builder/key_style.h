// The project file's tables name their keys in one of two styles: the
// project's own tables in snake_case (`start_in`), the settings' records in
// PascalCase (`StartIn`). Either spelling is accepted in every table; the
// other is renamed to the table's own before the table is read.
#pragma once

#include <string>

#include "common/toml_reading.h"

namespace palisade::tools {

// "start_in" <-> "StartIn"; "arguments" <-> "Arguments".
std::string OtherKeyStyle(const std::string& key);

// Renames the members of every table and array of tables in `root` that are
// spelled in the other style; a key given in both spellings is an error.
void AcceptBothKeyStyles(TomlReader& reader, toml::table& root);

}  // namespace palisade::tools
