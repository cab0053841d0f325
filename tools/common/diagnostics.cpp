// Error reports of the builder, each tied to a place in a project or language file.
#include "common/diagnostics.h"

#include <algorithm>
#include <tuple>

namespace palisade::tools {

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    std::string text = diagnostic.place.file;
    if (diagnostic.place.line > 0) {
        text += ':' + std::to_string(diagnostic.place.line);
        if (diagnostic.place.column > 0) text += ':' + std::to_string(diagnostic.place.column);
    }
    if (!text.empty()) text += ": ";
    return text + "error: " + diagnostic.message;
}

void Diagnostics::Error(const SourcePlace& place, std::string message) {
    m_list.push_back({place, std::move(message)});
}

void Diagnostics::Append(const Diagnostics& other) {
    m_list.insert(m_list.end(), other.m_list.begin(), other.m_list.end());
}

void Diagnostics::SortByPlace() {
    std::stable_sort(m_list.begin(), m_list.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return std::tie(a.place.file, a.place.line, a.place.column) < std::tie(b.place.file, b.place.line, b.place.column);
    });
}

}  // namespace palisade::tools
