// Writing the registry record's lines.
#include "actions/registry_record.h"

namespace palisade {

std::u16string EntryField(std::u16string_view text) {
    bool plain = text.find_first_of(u",\"") == std::u16string_view::npos &&
                 (text.empty() || (text.front() != u' ' && text.front() != u'\t' && text.back() != u' ' &&
                                   text.back() != u'\t'));
    if (plain) return std::u16string(text);
    std::u16string field = u"\"";
    for (char16_t c : text) {
        field += c;
        if (c == u'"') field += u'"';
    }
    return field + u"\"";
}

std::u16string KeyRecordLine(const RegistryPath& key) { return EntryField(RegistryPathNotation(key)) + u"\r\n"; }

std::u16string ValueRecordLine(const RegistryPath& key, std::u16string_view valueName) {
    // Type 1 (text) with empty data and operation 1: written at installation,
    // deleted at uninstallation.
    return EntryField(RegistryPathNotation(key)) + u"," + EntryField(valueName) + u",1,,1\r\n";
}

void AppendRecordLine(std::u16string& record, std::u16string_view line) {
    if (!record.empty() && record.back() != u'\n') record += u"\r\n";
    record += line;
}

}  // namespace palisade
