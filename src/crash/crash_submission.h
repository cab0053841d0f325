// What the crash dialog shows and what "Inform Us" sends: the apology line,
// and the form with the sender, the report, the subject and the headers.
#pragma once

#include <string>
#include <string_view>

#include "core/http_request.h"

namespace palisade {

// The values an installer's author sets for crash reports (the project
// file's [crash_report] table); all empty when none were set.
struct CrashVendor {
    std::u16string shortName;       // named in the apology line
    std::string senderAddress;      // the form's "from"; empty disables "Inform Us"
    std::string privateHeader;      // one header line added to every report
    std::string reportEndpoint;     // the http: or https: address the form goes to; empty sends nothing
};

// What the user typed into the dialog.
struct CrashAnswers {
    std::u16string email;
    std::u16string comments;
};

// What the installation log gets: "\r\n\r\nINSTALLER CRASHED!\r\n" and the report.
std::u16string CrashLogText(std::u16string_view report);

// The dialog's first line, naming the vendor.
std::u16string CrashApology(std::u16string_view vendorShortName);

// "Exception - Installer 44.0.1: " + the program's file name.
std::string CrashSubject(std::u16string_view programFileName);

// The form's fields in order: "from", "body", "subject", "headers" (UTF-8).
FormFields CrashFormFields(std::u16string_view report, const CrashVendor& vendor, const CrashAnswers& answers,
                           std::u16string_view programFileName);

}  // namespace palisade
