// The placeholders of a notification address and their percent-encoding.
#include "variables/notify_placeholders.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

OsVersionInfo Windows81() {
    OsVersionInfo os;
    os.majorVersion = 6;
    os.minorVersion = 3;
    os.buildNumber = 9600;
    os.platformId = kPlatformNt;
    os.productType = kProductWorkstation;
    os.editionCode = 48;
    os.is64Bit = true;
    return os;
}

TEST(VariablesNotify, PercentEncodingKeepsOnlyUnreservedBytes) {
    EXPECT_EQ(PercentEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(PercentEncode("a b/c?d=e&f%g+h"), "a%20b%2Fc%3Fd%3De%26f%25g%2Bh");
    EXPECT_EQ(PercentEncode("\xc3\xa9"), "%C3%A9");
    EXPECT_EQ(PercentEncode(std::string("\0\x7f", 2)), "%00%7F");
    EXPECT_EQ(PercentEncode(""), "");
}

TEST(VariablesNotify, EveryPlaceholderInOrderAndWithoutRegardToCase) {
    std::string address = NotifyPlaceholders(
        "  http://example.com/n?v=%VERSION%&s=%session%&os=%Os%&maj=%OSMajor%&min=%osminor%&n=%OSNAME%"
        "&d=%OSDescription%&srv=%OSServer%\t ",
        u"2.0 beta", 0x1A2B3C4D5E6FULL, Windows81());
    EXPECT_EQ(address,
              "http://example.com/n?v=2.0%20beta&s=1A2B3C4D5E6F&os=44&maj=6&min=3&n=8"
              "&d=Windows%208.1%20Professional%20x64&srv=0");
}

TEST(VariablesNotify, NoEnvironmentExpansionAndUnknownPlaceholdersStay) {
    EXPECT_EQ(NotifyPlaceholders("http://x/%PATH%/%Other%/%OS%", u"1", 0, Windows81()), "http://x/%PATH%/%Other%/44");
}

TEST(VariablesNotify, WideVersionTextIsEncodedAsUtf8) {
    EXPECT_EQ(NotifyPlaceholders("%version%", u"1.0 \u00e9", 0, Windows81()), "1.0%20%C3%A9");
    EXPECT_EQ(NotifyPlaceholders("%Session%", u"", 0, Windows81()), "0");
}

}  // namespace
}  // namespace palisade
