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

// A translation shipped with the builder: <folder>/<code>.toml.
struct ShippedLanguage {
    std::string code;  // "de", "pt-BR", "zh-CN"
    std::string name;  // the file's name: what the language page shows
    std::string file;
};

// The shipped translations in `folder`, by code. A file that cannot be read is left out.
std::vector<ShippedLanguage> ListShippedLanguages(const std::string& folder);

// The shipped translation that `codeOrName` names: its code ("fr", "pt-br",
// "pt_BR") or its name ("French"), both compared without regard to case.
const ShippedLanguage* FindShippedLanguage(const std::vector<ShippedLanguage>& shipped, const std::string& codeOrName);

struct CatalogueBuild {
    MessageCatalogue catalogue;
    std::vector<std::string> warnings;  // messages a translation leaves to English
};

// English comes first; a language named "English" (any case) replaces the
// built-in texts it gives instead of adding a language. A message that a
// translation leaves out is taken from English.
CatalogueBuild BuildCatalogue(const std::vector<LanguageSource>& languages);

}  // namespace palisade::tools
