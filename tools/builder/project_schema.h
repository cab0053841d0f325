// The JSON Schema of the project file, made from the key tables that the project reader checks names against.
#pragma once

#include <string>

#include "common/report_tree.h"

namespace palisade::tools {

// The schema as a tree (draft-07): every top-level key with its description,
// type, default and allowed names; [build], [[files]], [[languages]] and the
// list settings as objects that allow no other keys.
ReportValue ProjectSchema();

// The schema as JSON text: the output of `palisade keys --json-schema` and
// the content of docs/palisade.schema.json.
std::string ProjectSchemaJson();

// A default written as JSON (and TOML) text: true, false, an integer, a
// "string" or a [list] of those. Anything else becomes the text itself.
ReportValue DefaultLiteral(const std::string& json);

}  // namespace palisade::tools
