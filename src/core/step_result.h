// What a step of a run tells the sequence that called it: carry on, or end
// the run with a numbered fatal error. Only the sequences (the installation,
// the uninstallation) end a run; the steps below them report.
#pragma once

namespace palisade {

class [[nodiscard]] StepResult {
public:
    static constexpr StepResult Continue() { return StepResult(0); }
    static constexpr StepResult Fatal(int code) { return StepResult(code); }

    constexpr bool IsFatal() const { return m_fatalCode != 0; }
    constexpr int FatalCode() const { return m_fatalCode; }

private:
    constexpr explicit StepResult(int fatalCode) : m_fatalCode(fatalCode) {}
    int m_fatalCode;
};

}  // namespace palisade
