// A small ordered tree of values that the inspector renders as text or as JSON.
#include "common/report_tree.h"

#include <cstdio>

#include "common/terminal_text.h"

namespace palisade::tools {

ReportValue ReportValue::TextList(const std::vector<std::string>& texts) {
    ReportValue list = Array();
    for (const std::string& text : texts) list.Add(text);
    return list;
}

ReportValue& ReportValue::Set(const std::string& key, ReportValue value) {
    m_members.emplace_back(key, std::move(value));
    return m_members.back().second;
}

ReportValue& ReportValue::Add(ReportValue value) {
    m_elements.push_back(std::move(value));
    return m_elements.back();
}

const ReportValue* ReportValue::Find(const std::string& key) const {
    for (const auto& [name, value] : m_members) {
        if (name == key) return &value;
    }
    return nullptr;
}

namespace {

// JSON text: the escapes JSON needs, and every display control (and any
// invalid byte, as U+FFFD) escaped, so that printing it cannot drive a terminal.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    char escape[8];
    for (std::size_t at = 0; at < text.size();) {
        std::size_t start = at;
        std::optional<char32_t> c = NextCodePoint(text, at);
        if (!c) c = 0xFFFD;
        switch (*c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (IsDisplayControl(*c) || *c == 0xFFFD) {
                    std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(*c));
                    out += escape;
                } else {
                    out.append(text, start, at - start);
                }
        }
    }
    return out + "\"";
}

std::string Scalar(const ReportValue& value, bool json) {
    switch (value.GetType()) {
        case ReportValue::Type::Text: return json ? JsonString(value.Text()) : value.Text();
        case ReportValue::Type::Integer: return std::to_string(value.Integer());
        case ReportValue::Type::Number: {
            char text[32];
            std::snprintf(text, sizeof text, "%g", value.Number());
            return text;
        }
        case ReportValue::Type::Boolean: return value.Boolean() ? "true" : "false";
        default: return "";
    }
}

bool IsContainer(const ReportValue& value) {
    return value.GetType() == ReportValue::Type::Object || value.GetType() == ReportValue::Type::Array;
}

void WriteJson(const ReportValue& value, int depth, std::string& out) {
    std::string indent(std::size_t(depth + 1) * 2, ' ');
    std::string closing(std::size_t(depth) * 2, ' ');
    if (value.GetType() == ReportValue::Type::Object) {
        if (value.Members().empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        for (std::size_t i = 0; i < value.Members().size(); ++i) {
            out += indent + JsonString(value.Members()[i].first) + ": ";
            WriteJson(value.Members()[i].second, depth + 1, out);
            out += i + 1 < value.Members().size() ? ",\n" : "\n";
        }
        out += closing + "}";
    } else if (value.GetType() == ReportValue::Type::Array) {
        if (value.Elements().empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        for (std::size_t i = 0; i < value.Elements().size(); ++i) {
            out += indent;
            WriteJson(value.Elements()[i], depth + 1, out);
            out += i + 1 < value.Elements().size() ? ",\n" : "\n";
        }
        out += closing + "]";
    } else {
        out += Scalar(value, true);
    }
}

bool IsFlatArray(const ReportValue& value) {
    for (const ReportValue& element : value.Elements()) {
        if (IsContainer(element)) return false;
    }
    return true;
}

void WriteText(const ReportValue& value, int depth, std::string& out) {
    std::string indent(std::size_t(depth) * 2, ' ');
    if (value.GetType() == ReportValue::Type::Array) {
        for (const ReportValue& element : value.Elements()) {
            out += indent + "-\n";
            WriteText(element, depth + 1, out);
        }
        return;
    }
    for (const auto& [key, member] : value.Members()) {
        if (member.GetType() == ReportValue::Type::Array && IsFlatArray(member)) {
            std::string joined;
            for (const ReportValue& element : member.Elements()) joined += (joined.empty() ? "" : ", ") + Scalar(element, false);
            out += indent + key + ": " + (joined.empty() ? "(none)" : joined) + "\n";
        } else if (IsContainer(member)) {
            out += indent + key + ":\n";
            WriteText(member, depth + 1, out);
        } else {
            out += indent + key + ": " + Scalar(member, false) + "\n";
        }
    }
}

}  // namespace

std::string RenderJson(const ReportValue& value) {
    std::string out;
    WriteJson(value, 0, out);
    return out + "\n";
}

std::string RenderText(const ReportValue& value) {
    std::string out;
    WriteText(value, 0, out);
    return out;
}

}  // namespace palisade::tools
