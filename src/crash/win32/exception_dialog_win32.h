// The "Illegal Operation" dialog that shows the crash report and offers to
// send it.
#pragma once

#include <optional>
#include <string>

#include "crash/crash_submission.h"

namespace palisade {

// Shows "ExceptionDlg" modally, without an owner. The user's address and
// comments when the dialog ended with "Inform Us"; nothing after "Exit", the
// Close command, or when the dialog cannot be shown.
std::optional<CrashAnswers> RunExceptionDialog(const std::u16string& report, const CrashVendor& vendor);

}  // namespace palisade
