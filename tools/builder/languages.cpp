// The installer's message catalogue: the built-in English texts plus the project's language files.
#include "builder/languages.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

#include "builder/english_messages.h"
#include "common/toml_reading.h"
#include "core/text.h"

namespace palisade::tools {

namespace {

bool IsEnglish(const std::string& name) { return EqualsIgnoreCase(Utf8ToUtf16(name), u"English"); }

void ReadMessages(TomlReader& reader, const toml::table& messages, LanguageSource& language) {
    for (auto&& [key, node] : messages) {
        int number = -1;
        std::string_view digits = key.str();
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error != std::errc() || end != digits.data() + digits.size() || number < 0 ||
            number >= int(kMaxCatalogueMessages)) {
            reader.Error(key, "message numbers are 0.." + std::to_string(kMaxCatalogueMessages - 1) + ", not '" +
                                  std::string(digits) + "'");
            continue;
        }
        if (auto* text = node.as_string()) {
            language.messages[number] = text->get();
        } else {
            reader.Error(node, "message " + std::to_string(number) + " must be a string, not " +
                                   TomlReader::TypeName(node));
        }
    }
}

// "de.toml leaves 3 message(s) to English: 2, 5, 7": the first numbers, so that the
// author can find them, without flooding the build's output.
std::string LeftToEnglish(const LanguageSource& language, const std::vector<int>& missing) {
    constexpr std::size_t kListed = 12;
    std::string text = language.file + " leaves " + std::to_string(missing.size()) + " message(s) to English:";
    for (std::size_t i = 0; i < missing.size() && i < kListed; ++i) text += (i ? ", " : " ") + std::to_string(missing[i]);
    if (missing.size() > kListed) text += ", ...";
    return text;
}

// "pt_BR" and "PT-br" name "pt-BR".
std::string FoldCode(const std::string& code) {
    std::string folded;
    for (char c : code) folded += c == '_' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace

std::vector<ShippedLanguage> ListShippedLanguages(const std::string& folder) {
    std::vector<ShippedLanguage> list;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".toml") continue;
        Diagnostics ignored;
        std::optional<toml::table> document = ParseTomlFile(entry.path().string(), ignored);
        std::optional<std::string> name = document ? (*document)["name"].value<std::string>() : std::nullopt;
        if (name) list.push_back({entry.path().stem().string(), *name, entry.path().string()});
    }
    std::sort(list.begin(), list.end(), [](const ShippedLanguage& a, const ShippedLanguage& b) { return a.code < b.code; });
    return list;
}

const ShippedLanguage* FindShippedLanguage(const std::vector<ShippedLanguage>& shipped, const std::string& codeOrName) {
    for (const ShippedLanguage& language : shipped) {
        if (FoldCode(language.code) == FoldCode(codeOrName) ||
            EqualsIgnoreCase(Utf8ToUtf16(language.name), Utf8ToUtf16(codeOrName))) {
            return &language;
        }
    }
    return nullptr;
}

std::optional<LanguageSource> ReadLanguageFile(const std::string& path, Diagnostics& diagnostics) {
    std::size_t errorsBefore = diagnostics.List().size();
    std::optional<toml::table> document = ParseTomlFile(path, diagnostics);
    if (!document) return std::nullopt;
    TomlReader reader(path, diagnostics);
    reader.CheckKnownKeys(*document, {"name", "messages"}, "a language file");
    LanguageSource language;
    language.file = path;
    std::optional<std::string> name = reader.String(*document, "name");
    if (!name || name->empty()) {
        if (!document->get("name")) diagnostics.Error({path, 1, 1}, "a language file needs 'name = \"...\"'");
    } else {
        language.name = *name;
    }
    if (const toml::table* messages = reader.Table(*document, "messages")) ReadMessages(reader, *messages, language);
    if (diagnostics.List().size() != errorsBefore) return std::nullopt;
    return language;
}

CatalogueBuild BuildCatalogue(const std::vector<LanguageSource>& languages) {
    CatalogueBuild build;
    std::vector<std::string> english = EnglishMessages();
    std::vector<const LanguageSource*> translations;
    for (const LanguageSource& language : languages) {
        if (!IsEnglish(language.name)) {
            translations.push_back(&language);
            continue;
        }
        for (const auto& [number, text] : language.messages) {
            if (std::size_t(number) >= english.size()) english.resize(number + 1);
            english[number] = text;
        }
    }
    std::size_t messageCount = english.size();
    for (const LanguageSource* language : translations) {
        if (!language->messages.empty()) {
            messageCount = std::max(messageCount, std::size_t(language->messages.rbegin()->first) + 1);
        }
    }
    std::vector<std::u16string> names{u"English"};
    for (const LanguageSource* language : translations) names.push_back(Utf8ToUtf16(language->name));
    build.catalogue = MessageCatalogue(names, messageCount);
    for (std::size_t message = 0; message < english.size(); ++message) {
        std::u16string text = Utf8ToUtf16(english[message]);
        for (std::size_t language = 0; language < names.size(); ++language) build.catalogue.SetText(message, language, text);
    }
    for (std::size_t index = 0; index < translations.size(); ++index) {
        const LanguageSource& language = *translations[index];
        for (const auto& [number, text] : language.messages) build.catalogue.SetText(number, index + 1, Utf8ToUtf16(text));
        std::vector<int> missing;
        for (int number : MessageNumbersInUse()) {
            if (language.messages.count(number) == 0) missing.push_back(number);
        }
        if (!missing.empty()) build.warnings.push_back(LeftToEnglish(language, missing));
    }
    return build;
}

}  // namespace palisade::tools
