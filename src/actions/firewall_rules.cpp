// Parsing and texts of the firewall exception lines.
#include "actions/firewall_rules.h"

#include "core/format.h"
#include "core/text.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

std::u16string Trimmed(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return std::u16string(text);
}

std::optional<std::uint32_t> DecimalOf(std::u16string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + std::uint32_t(c - u'0');
    }
    return value;
}

std::vector<std::u16string_view> SplitFields(std::u16string_view line) {
    std::vector<std::u16string_view> fields;
    for (std::size_t start = 0;;) {
        std::size_t semicolon = line.find(u';', start);
        fields.push_back(line.substr(start, semicolon == std::u16string_view::npos ? semicolon : semicolon - start));
        if (semicolon == std::u16string_view::npos) return fields;
        start = semicolon + 1;
    }
}

}  // namespace

FirewallParse ParseFirewallRules(std::u16string_view text) {
    FirewallParse parse;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        start = end + 1;
        if (Trimmed(line).empty()) continue;
        std::vector<std::u16string_view> fields = SplitFields(line);
        if (fields.size() != 4) {
            parse.malformed = true;
            parse.lines.clear();
            return parse;
        }
        parse.lines.push_back({Trimmed(fields[0]), Trimmed(fields[1]), Trimmed(fields[2]), Trimmed(fields[3])});
    }
    return parse;
}

std::optional<std::uint32_t> PortNumberOf(const FirewallLine& line) {
    if (line.target.empty()) return std::nullopt;
    for (char16_t c : line.target) {
        if (c < u'0' || c > u'9') return std::nullopt;
    }
    // More digits than a port can have still make a port line, one that fails.
    return DecimalOf(line.target).value_or(0);
}

bool IsValidPort(std::uint32_t port) { return port >= 1 && port <= 65535; }

std::uint32_t ProtocolBitsOf(const FirewallLine& line) { return DecimalOf(line.protocol).value_or(0); }

std::vector<PortProtocol> ProtocolsFor(std::uint32_t bits) {
    std::vector<PortProtocol> protocols;
    if (bits & 0x1) protocols.push_back({0x1, 6, u"TCP"});
    if (bits & 0x2) protocols.push_back({0x2, 17, u"UDP"});
    return protocols;
}

std::u16string ResolveProgramPath(std::u16string_view expanded, std::u16string_view installFolder) {
    bool absolute = (expanded.size() >= 2 && expanded[1] == u':') || (!expanded.empty() && expanded[0] == u'\\');
    if (absolute) return std::u16string(expanded);
    std::u16string_view relative = expanded;
    while (relative.substr(0, 2) == u".\\") relative.remove_prefix(2);
    return JoinFolder(installFolder, relative);
}

bool StaysAfterUninstall(const FirewallLine& line) { return line.keep == u"1"; }

std::u16string ExceptionName(const FirewallLine& line, std::u16string_view productName) {
    return line.name.empty() ? std::u16string(productName) : line.name;
}

std::u16string ConnectFailedText(std::int32_t result) {
    return Format(u"Failed to connect to the firewall service: code %d\r\n", {result});
}

std::u16string PortAddedText(std::u16string_view word, std::uint32_t port) {
    return Format(u"Added firewall exception: %s port %d\r\n", {word, port});
}

std::u16string PortFailedText(std::uint32_t port, std::int32_t result) {
    return Format(u"Failed to open firewall port %d, code %d\r\n", {port, result});
}

std::u16string ProgramMissingText(std::u16string_view path) {
    return Format(u"Failed to add firewall exception for \"%s\": file does not exist\r\n", {path});
}

std::u16string ProgramFailedText(std::u16string_view path, std::int32_t result) {
    return Format(u"Failed to add firewall exception for \"%s\", code %d\r\n", {path, result});
}

std::u16string ProgramAddedText(std::u16string_view path) {
    return u"Added firewall exception: " + std::u16string(path) + u"\r\n";
}

std::string FirewallRecordLine(const FirewallLine& line, std::u16string_view resolvedTarget) {
    std::u16string text = std::u16string(resolvedTarget) + u";" + line.name + u";" + line.protocol + u";" + line.keep;
    return Utf16ToUtf8(text) + "\r\n";
}

}  // namespace palisade
