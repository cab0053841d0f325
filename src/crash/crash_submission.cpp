// What the crash dialog shows and what "Inform Us" sends.
#include "crash/crash_submission.h"

#include "core/format.h"
#include "core/text.h"

namespace palisade {
namespace {

std::string_view TrimmedLine(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Headers(const CrashVendor& vendor, const std::string& email) {
    std::string headers(TrimmedLine(vendor.privateHeader));
    if (!headers.empty()) headers += "\r\n";
    if (!email.empty()) headers += "X-Exception-Email: " + email + "\r\nReply-To: " + email + "\r\n";
    return headers;
}

std::string Body(std::u16string_view report, const std::string& email, const std::u16string& comments) {
    std::string body = Utf16ToUtf8(report);
    if (!email.empty()) body += "\r\nEmail: " + email + "\r\n";
    if (!comments.empty()) body += "\r\nComments:\r\n" + Utf16ToUtf8(comments);
    return body;
}

// A typed address is one header line: anything that would start another
// line, or another header, is cut off.
std::string OneLine(std::u16string_view text) {
    std::string line = Utf16ToUtf8(text);
    std::size_t end = line.find_first_of("\r\n");
    return std::string(TrimmedLine(line.substr(0, end)));
}

}  // namespace

std::u16string CrashLogText(std::u16string_view report) {
    return u"\r\n\r\nINSTALLER CRASHED!\r\n" + std::u16string(report);
}

std::u16string CrashApology(std::u16string_view vendorShortName) {
    return Format(u"We apologize for the inconvenience, but the program has performed an illegal operation and "
                  u"must close.  Please report this problem to %s by clicking the \"Inform Us\" button below.",
                  {std::u16string(vendorShortName)});
}

std::string CrashSubject(std::u16string_view programFileName) {
    return "Exception - Installer 44.0.1: " + Utf16ToUtf8(programFileName);
}

FormFields CrashFormFields(std::u16string_view report, const CrashVendor& vendor, const CrashAnswers& answers,
                           std::u16string_view programFileName) {
    std::string email = OneLine(answers.email);
    return {{"from", vendor.senderAddress},
            {"body", Body(report, email, answers.comments)},
            {"subject", CrashSubject(programFileName)},
            {"headers", Headers(vendor, email)}};
}

}  // namespace palisade
