// Error reports of the builder, each tied to a place in a project or language file.
#pragma once

#include <string>
#include <vector>

namespace palisade::tools {

// A place in a source file; line and column count from 1, 0 when unknown.
struct SourcePlace {
    std::string file;
    int line = 0;
    int column = 0;
};

struct Diagnostic {
    SourcePlace place;
    std::string message;
};

// "file:line:column: error: message", leaving out the parts that are unknown.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// Collects every error of a pass, so that one run reports them all at once.
class Diagnostics {
public:
    void Error(const SourcePlace& place, std::string message);
    bool Empty() const { return m_list.empty(); }
    const std::vector<Diagnostic>& List() const { return m_list; }
    void Append(const Diagnostics& other);
    // Orders the reports by file, line and column (a TOML table is read in key
    // order, not in line order), keeping the order of reports at one place.
    void SortByPlace();

private:
    std::vector<Diagnostic> m_list;
};

}  // namespace palisade::tools
