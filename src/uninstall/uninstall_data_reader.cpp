// Parses Uninstall.DAT into the uninstall list, the messages and the section lines.
#include "uninstall/uninstall_data_reader.h"

#include "core/program_narrow.h"
#include "core/text.h"

namespace palisade {
namespace {

enum class Section { List, Strings, AutoClose, Associations, Firewall, Inf, Registry2, Msi, ConditionalDelete };

struct Header {
    std::string_view name;
    Section section;
};

constexpr Header kHeaders[] = {
    {"[Strings]", Section::Strings},   {"[Associations]", Section::Associations},
    {"[AutoClose]", Section::AutoClose}, {"[Firewall]", Section::Firewall},
    {"[INF]", Section::Inf},           {"[Registry2]", Section::Registry2},
    {"[MSI]", Section::Msi},           {"[ConditionalDelete]", Section::ConditionalDelete},
};

// One line and the line break behind it (CR LF, LF, CR or nothing at the end).
struct RawLine {
    std::string_view text;
    std::string_view lineBreak;
};

std::vector<RawLine> SplitRawLines(std::string_view bytes) {
    std::vector<RawLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back({bytes.substr(start), {}});
            break;
        }
        std::size_t breakLength = (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.substr(start, end - start), bytes.substr(end, breakLength)});
        start = end + breakLength;
    }
    return lines;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

const Header* FindHeader(std::string_view line) {
    std::string_view trimmed = TrimRight(line);
    for (const Header& header : kHeaders) {
        if (trimmed == header.name) return &header;
    }
    return nullptr;
}

// "~N" with N in 1..999 (digits only) starts message N; 0 otherwise.
int MessageStart(std::string_view line) {
    line = TrimRight(line);
    if (line.size() < 2 || line.size() > 4 || line[0] != '~') return 0;
    int number = 0;
    for (char c : line.substr(1)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number >= 1 && number <= 999 ? number : 0;
}

void RemoveSuffix(std::string& text, std::string_view suffix) {
    if (text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
        text.resize(text.size() - suffix.size());
    }
}

// Collects "[Strings]": a message's text is its lines with their breaks; the
// break the writer puts after each message, and the blank lines the writer
// puts before the next header, are not part of it.
class StringsCollector {
public:
    explicit StringsCollector(std::map<int, std::u16string>& out) : m_out(out) {}
    void Line(const RawLine& line) {
        if (line.text.size() > 0 && line.text[0] == '~') {
            Close(false);
            m_number = MessageStart(line.text);
            return;
        }
        if (m_number == 0) return;
        // The writer marks a line that would read as a message start or a
        // header with a backslash.
        std::string_view text = line.text;
        if (!text.empty() && text[0] == '\\') text.remove_prefix(1);
        m_text.append(text);
        m_text.append(line.lineBreak);
    }
    void Close(bool headerFollows) {
        if (m_number != 0) {
            if (headerFollows) RemoveSuffix(m_text, "\r\n\r\n");
            if (!m_text.empty() && m_text.back() == '\n') m_text.pop_back();
            if (!m_text.empty() && m_text.back() == '\r') m_text.pop_back();
            m_out[m_number] = Utf8ToUtf16(m_text);
        }
        m_number = 0;
        m_text.clear();
    }

private:
    std::map<int, std::u16string>& m_out;
    int m_number = 0;
    std::string m_text;
};

std::vector<std::string>* SectionLines(UninstallDataContents& out, Section section) {
    switch (section) {
        case Section::AutoClose: return &out.autoClose;
        case Section::Associations: return &out.associations;
        case Section::Firewall: return &out.firewall;
        case Section::Inf: return &out.inf;
        case Section::Registry2: return &out.registry2;
        case Section::Msi: return &out.msi;
        case Section::ConditionalDelete: return &out.conditionalDelete;
        default: return nullptr;
    }
}

std::vector<std::string_view> SplitOn(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

bool ParseSmallNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

UninstallLine ClassifyUninstallLine(std::string_view line) {
    UninstallLine result;
    if (line.empty()) return result;
    switch (line[0]) {
        case '~': result.kind = UninstallLineKind::Folder; break;
        case '!': result.kind = UninstallLineKind::InstallFolder; break;
        case '^': result.kind = UninstallLineKind::ActionItem; break;
        case '*': result.kind = UninstallLineKind::RegistryKey; break;
        default:
            result.path = DecodeProgramNarrow(line);
            return result;
    }
    std::string_view rest = line.substr(1);
    result.path = result.kind == UninstallLineKind::InstallFolder ? Utf8ToUtf16(rest) : DecodeProgramNarrow(rest);
    return result;
}

UninstallDataContents ParseUninstallData(std::string_view bytes) {
    UninstallDataContents out;
    StringsCollector strings(out.strings);
    Section section = Section::List;
    for (const RawLine& line : SplitRawLines(bytes)) {
        if (const Header* header = FindHeader(line.text)) {
            if (section == Section::Strings) strings.Close(true);
            section = header->section;
            continue;
        }
        if (section == Section::Strings) {
            strings.Line(line);
            continue;
        }
        if (line.text.empty()) continue;
        if (section == Section::List) {
            out.items.push_back(ClassifyUninstallLine(line.text));
        } else if (std::vector<std::string>* lines = SectionLines(out, section)) {
            lines->emplace_back(line.text);
        }
    }
    if (section == Section::Strings) strings.Close(false);
    return out;
}

AssociationRecord ParseAssociationRecord(std::string_view line) {
    std::vector<std::string_view> fields = SplitOn(line, "~!~");
    AssociationRecord record;
    if (fields.size() < 3) return record;
    record.extension = Utf8ToUtf16(fields[0]);
    record.progId = Utf8ToUtf16(fields[1]);
    record.verb = Utf8ToUtf16(fields[2]);
    if (fields.size() > 3) record.icon = Utf8ToUtf16(fields[3]);
    return record;
}

MsiRecord ParseMsiRecord(std::string_view line) {
    MsiRecord record;
    std::string_view rest = line;
    if (!rest.empty() && rest[0] == '"') {
        std::size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) {
            record.package = DecodeProgramNarrow(rest.substr(1));
            return record;
        }
        record.package = DecodeProgramNarrow(rest.substr(1, close - 1));
        rest = rest.substr(close + 1);
    } else {
        std::size_t comma = rest.rfind(',');
        record.package = DecodeProgramNarrow(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma);
    }
    int level = 0;
    if (!rest.empty() && rest[0] == ',' && ParseSmallNumber(TrimRight(rest.substr(1)), level)) record.uiLevel = level;
    return record;
}

}  // namespace palisade
