// A small ordered tree of values that the inspector renders as text or as JSON.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace palisade::tools {

class ReportValue {
public:
    enum class Type { Text, Integer, Number, Boolean, Object, Array };

    ReportValue() : m_type(Type::Object) {}
    ReportValue(const char* text) : m_type(Type::Text), m_text(text) {}
    ReportValue(std::string text) : m_type(Type::Text), m_text(std::move(text)) {}
    ReportValue(std::int64_t value) : m_type(Type::Integer), m_integer(value) {}
    ReportValue(int value) : ReportValue(std::int64_t(value)) {}
    ReportValue(std::uint32_t value) : ReportValue(std::int64_t(value)) {}
    ReportValue(std::uint64_t value) : ReportValue(std::int64_t(value)) {}
    ReportValue(double value) : m_type(Type::Number), m_number(value) {}
    ReportValue(bool value) : m_type(Type::Boolean), m_boolean(value) {}
    static ReportValue Object() { return ReportValue(); }
    static ReportValue Array() {
        ReportValue value;
        value.m_type = Type::Array;
        return value;
    }
    static ReportValue TextList(const std::vector<std::string>& texts);

    // Adds a member (objects) and returns it for filling in.
    ReportValue& Set(const std::string& key, ReportValue value);
    // Adds an element (arrays).
    ReportValue& Add(ReportValue value);

    Type GetType() const { return m_type; }
    const std::string& Text() const { return m_text; }
    std::int64_t Integer() const { return m_integer; }
    double Number() const { return m_number; }
    bool Boolean() const { return m_boolean; }
    const std::vector<std::pair<std::string, ReportValue>>& Members() const { return m_members; }
    const std::vector<ReportValue>& Elements() const { return m_elements; }
    const ReportValue* Find(const std::string& key) const;

private:
    Type m_type;
    std::string m_text;
    std::int64_t m_integer = 0;
    double m_number = 0;
    bool m_boolean = false;
    std::vector<std::pair<std::string, ReportValue>> m_members;
    std::vector<ReportValue> m_elements;
};

std::string RenderJson(const ReportValue& value);
// "key: value" lines, nested members indented; arrays of plain values on one line.
std::string RenderText(const ReportValue& value);

}  // namespace palisade::tools
