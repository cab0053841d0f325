// The installer's message catalogue: the built-in English texts plus the project's language files.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "payload/message_catalogue.h"

namespace palisade::tools {

// One language file:
//   name = "Deutsch"          # shown on the language page
//   [messages]
//   48 = "&Weiter >"          # message number = UTF-8 text
struct LanguageSource {
    std::string file;
    std::string name;
    std::map<int, std::string> messages;
};

// Reads a language file; every problem becomes a diagnostic with its place.
std::optional<LanguageSource> ReadLanguageFile(const std::string& path, Diagnostics& diagnostics);

struct CatalogueBuild {
    MessageCatalogue catalogue;
    std::vector<std::string> notes;  // e.g. messages a translation leaves to English
};

// English comes first; a language named "English" (any case) replaces the
// built-in texts it gives instead of adding a language. A message that a
// translation leaves out is taken from English.
CatalogueBuild BuildCatalogue(const std::vector<LanguageSource>& languages);

}  // namespace palisade::tools
