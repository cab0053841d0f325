// Conditional deletions: record line, date reference and the delete test.
#include "uninstall/conditional_delete.h"

#include <tuple>

namespace palisade {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Reads `minDigits` to `maxDigits` decimal digits from the front of `text`.
bool TakeNumber(std::string_view& text, std::size_t minDigits, std::size_t maxDigits, int& value) {
    std::size_t count = 0;
    value = 0;
    while (count < text.size() && count < maxDigits && text[count] >= '0' && text[count] <= '9') {
        value = value * 10 + (text[count] - '0');
        ++count;
    }
    if (count < minDigits) return false;
    text.remove_prefix(count);
    return true;
}

bool TakeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

bool TakeSmallNumber(std::string_view text, std::uint64_t limit, std::uint64_t& value) {
    text = Trim(text);
    if (text.empty() || text.size() > 20) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        std::uint64_t digit = std::uint64_t(c - '0');
        if (value > (limit - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// -1, 0 or 1 comparing the file's time with the reference at its precision.
int CompareAtPrecision(const DeletionDate& file, const DeletionDate& reference) {
    auto day = [](const DeletionDate& d) { return std::make_tuple(d.year, d.month, d.day); };
    auto second = [](const DeletionDate& d) {
        return std::make_tuple(d.year, d.month, d.day, d.hour, d.minute, d.second);
    };
    if (!reference.hasTime) return day(file) < day(reference) ? -1 : day(reference) < day(file) ? 1 : 0;
    return second(file) < second(reference) ? -1 : second(reference) < second(file) ? 1 : 0;
}

// A reference that holds a comma or a quote is quoted, its quotes doubled:
// unquoted, the reader would take its comma for the end of the pattern.
std::string ReferenceField(const std::string& reference) {
    if (reference.find_first_of(",\"") == std::string::npos) return reference;
    std::string quoted = "\"";
    for (char c : reference) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Where the reference field starts when `before` (the line up to the flags'
// comma) ends in a quoted field; npos when it does not.
std::size_t QuotedFieldStart(std::string_view before) {
    if (before.size() < 2 || before.back() != '"') return std::string_view::npos;
    std::size_t at = before.size() - 1;
    while (at > 0) {
        std::size_t quote = before.rfind('"', at - 1);
        if (quote == std::string_view::npos) return std::string_view::npos;
        if (quote > 0 && before[quote - 1] == '"') {  // a doubled quote inside the field
            at = quote - 1;
            continue;
        }
        return quote;
    }
    return std::string_view::npos;
}

std::string Unquoted(std::string_view field) {
    std::string text;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        text += field[i];
        if (field[i] == '"') ++i;  // the second of a doubled quote
    }
    return text;
}

}  // namespace

std::string ConditionalDeleteLine(const FileDeletion& deletion) {
    return deletion.pathPattern + "," + std::to_string(deletion.condition) + "," + ReferenceField(deletion.reference) +
           "," + std::to_string(deletion.flags) + "\r\n";
}

std::optional<FileDeletion> ParseConditionalDeleteLine(std::string_view line) {
    std::size_t flagsComma = line.rfind(',');
    if (flagsComma == std::string_view::npos || flagsComma == 0) return std::nullopt;
    std::size_t quotedStart = QuotedFieldStart(line.substr(0, flagsComma));
    std::size_t referenceComma = quotedStart == std::string_view::npos ? line.rfind(',', flagsComma - 1)
                                 : quotedStart > 0 && line[quotedStart - 1] == ','
                                     ? quotedStart - 1
                                     : std::string_view::npos;
    if (referenceComma == std::string_view::npos || referenceComma == 0) return std::nullopt;
    std::size_t conditionComma = line.rfind(',', referenceComma - 1);
    if (conditionComma == std::string_view::npos || conditionComma == 0) return std::nullopt;
    std::uint64_t condition = 0;
    std::uint64_t flags = 0;
    if (!TakeSmallNumber(line.substr(conditionComma + 1, referenceComma - conditionComma - 1), 255, condition) ||
        !TakeSmallNumber(line.substr(flagsComma + 1), 255, flags)) {
        return std::nullopt;
    }
    FileDeletion deletion;
    deletion.pathPattern = std::string(line.substr(0, conditionComma));
    deletion.condition = std::uint8_t(condition);
    std::string_view reference = line.substr(referenceComma + 1, flagsComma - referenceComma - 1);
    deletion.reference = quotedStart == std::string_view::npos ? std::string(reference) : Unquoted(reference);
    deletion.flags = std::uint8_t(flags);
    return deletion;
}

std::optional<DeletionDate> ParseDeletionDate(std::string_view text) {
    text = Trim(text);
    DeletionDate date;
    if (!TakeNumber(text, 4, 4, date.year)) return std::nullopt;
    char separator = text.empty() ? 0 : text.front();
    if (separator != '-' && separator != '/') return std::nullopt;
    text.remove_prefix(1);
    if (!TakeNumber(text, 1, 2, date.month) || !TakeChar(text, separator) || !TakeNumber(text, 1, 2, date.day)) {
        return std::nullopt;
    }
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    if (text.empty()) return date;
    if (!TakeChar(text, ' ')) return std::nullopt;
    text = Trim(text);
    if (!TakeNumber(text, 1, 2, date.hour) || !TakeChar(text, ':') || !TakeNumber(text, 2, 2, date.minute)) {
        return std::nullopt;
    }
    if (TakeChar(text, ':') && !TakeNumber(text, 2, 2, date.second)) return std::nullopt;
    if (!text.empty() || date.hour > 23 || date.minute > 59 || date.second > 59) return std::nullopt;
    date.hasTime = true;
    return date;
}

bool HasUnreadableDate(const FileDeletion& deletion) {
    return deletion.condition >= 1 && deletion.condition <= 3 && !ParseDeletionDate(deletion.reference);
}

DeletionVerdict DecideDeletion(const FileDeletion& deletion, const FileFacts& file) {
    switch (deletion.condition) {
        case 1:
        case 2:
        case 3: {
            std::optional<DeletionDate> reference = ParseDeletionDate(deletion.reference);
            if (!reference) return DeletionVerdict::BadDate;
            int order = CompareAtPrecision(file.lastWrite, *reference);
            bool remove = deletion.condition == 1 ? order == 0 : deletion.condition == 2 ? order >= 0 : order <= 0;
            return remove ? DeletionVerdict::Delete : DeletionVerdict::Keep;
        }
        case 4: {
            std::uint64_t size = 0;
            if (!TakeSmallNumber(deletion.reference, UINT64_MAX, size)) return DeletionVerdict::Keep;
            return size == file.size ? DeletionVerdict::Delete : DeletionVerdict::Keep;
        }
        default: return DeletionVerdict::Delete;
    }
}

bool AppliesAt(const FileDeletion& deletion, bool atInstall) {
    return (deletion.flags & (atInstall ? kDeleteAtInstall : kDeleteAtUninstall)) != 0;
}

}  // namespace palisade
