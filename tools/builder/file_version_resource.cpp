// The "FileVersion" text of a PE image's version resource, read as the
// installer reads the version of a file it is about to replace.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "builder/pe_resources.h"
#include "core/text.h"
#include "payload/little_endian.h"

namespace palisade::tools {

namespace {

// One node of the version resource: a length, a value length, a type, a
// NUL-terminated UTF-16 key, the value and the child nodes, each piece
// starting on a 4-byte boundary of the resource.
struct VersionNode {
    std::u16string key;
    ByteView value;  // from the value's start to the first child (or the node's end)
    std::vector<VersionNode> children;
};

constexpr int kMaxDepth = 4;
constexpr std::size_t kNodeHeader = 6;

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t(3); }

std::optional<VersionNode> ReadNode(ByteView resource, std::size_t offset, int depth, std::size_t& end) {
    if (depth > kMaxDepth || offset + kNodeHeader > resource.size) return std::nullopt;
    std::size_t length = LoadU16(resource.data + offset);
    std::size_t valueLength = LoadU16(resource.data + offset + 2);
    bool text = LoadU16(resource.data + offset + 4) == 1;
    if (length < kNodeHeader || offset + length > resource.size) return std::nullopt;
    end = offset + length;
    VersionNode node;
    std::size_t at = offset + kNodeHeader;
    for (;; at += 2) {
        if (at + 2 > end) return std::nullopt;
        char16_t c = char16_t(LoadU16(resource.data + at));
        if (c == 0) break;
        node.key += c;
    }
    std::size_t valueStart = std::min(Align4(at + 2), end);
    std::size_t valueBytes = text ? 2 * valueLength : valueLength;
    std::size_t childStart = std::min(Align4(valueStart + valueBytes), end);
    node.value = resource.Sub(valueStart, (text ? end : childStart) - valueStart);
    for (std::size_t child = childStart; child + kNodeHeader <= end;) {
        std::size_t childEnd = 0;
        std::optional<VersionNode> read = ReadNode(resource.Sub(0, end), child, depth + 1, childEnd);
        if (!read) break;
        node.children.push_back(std::move(*read));
        child = Align4(childEnd);
    }
    return node;
}

bool KeyIs(const std::u16string& key, const char* wanted) {
    std::string narrow = Utf16ToUtf8(key);
    if (narrow.size() != std::char_traits<char>::length(wanted)) return false;
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(narrow[i])) != std::toupper(static_cast<unsigned char>(wanted[i]))) {
            return false;
        }
    }
    return true;
}

const VersionNode* Child(const VersionNode& node, const char* key) {
    for (const VersionNode& child : node.children) {
        if (KeyIs(child.key, key)) return &child;
    }
    return nullptr;
}

// The string tables to look in: the resource's translations, then the usual ones.
std::vector<std::string> TableNames(const VersionNode& root) {
    std::vector<std::string> names;
    char name[16];
    if (const VersionNode* var = Child(root, "VarFileInfo")) {
        if (const VersionNode* translation = Child(*var, "Translation")) {
            for (std::size_t i = 0; i + 4 <= translation->value.size; i += 4) {
                std::snprintf(name, sizeof name, "%04X%04X", LoadU16(translation->value.data + i),
                              LoadU16(translation->value.data + i + 2));
                names.push_back(name);
            }
        }
    }
    for (const char* fallback : {"040904B0", "040904E4", "000004B0", "000004E4"}) names.push_back(fallback);
    return names;
}

std::u16string TextOf(ByteView value) {
    std::u16string text;
    for (std::size_t i = 0; i + 2 <= value.size; i += 2) {
        char16_t c = char16_t(LoadU16(value.data + i));
        if (c == 0) break;
        text += c;
    }
    return text;
}

std::string Normalised(std::u16string text) {
    std::replace(text.begin(), text.end(), u',', u'.');
    auto trimmed = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    std::size_t start = 0, end = text.size();
    while (start < end && trimmed(text[start])) ++start;
    while (end > start && trimmed(text[end - 1])) --end;
    return Utf16ToUtf8(text.substr(start, end - start));
}

}  // namespace

std::optional<std::string> ReadFileVersionText(ByteView image) {
    ResourceRead read = ReadResources(image);
    auto found = std::find_if(read.resources.begin(), read.resources.end(), [](const Resource& resource) {
        return !resource.type.IsNamed() && resource.type.id == kResourceVersion;
    });
    if (found == read.resources.end()) return std::nullopt;
    std::size_t end = 0;
    std::optional<VersionNode> root = ReadNode(found->data, 0, 0, end);
    if (!root) return std::nullopt;
    const VersionNode* strings = Child(*root, "StringFileInfo");
    if (!strings) return std::nullopt;
    for (const std::string& tableName : TableNames(*root)) {
        const VersionNode* table = Child(*strings, tableName.c_str());
        const VersionNode* version = table ? Child(*table, "FileVersion") : nullptr;
        if (!version) continue;
        std::string text = Normalised(TextOf(version->value));
        if (!text.empty()) return text;
    }
    return std::nullopt;
}

}  // namespace palisade::tools
