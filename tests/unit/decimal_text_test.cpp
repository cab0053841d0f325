// Decimal texts of the font size factors, checked against the C library's
// printf and strtod, which they replace in the installer.
#include "core/decimal_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace palisade {
namespace {

std::string PrintfSixDecimals(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    std::string text = buffer;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

TEST(DecimalText, WritesWhatPrintfWroteForEveryFactorAFontTakes) {
    EXPECT_EQ(SixDecimalsText(2.0), "2");
    EXPECT_EQ(SixDecimalsText(1.25), "1.25");
    EXPECT_EQ(SixDecimalsText(0.1234567), "0.123457");
    EXPECT_EQ(SixDecimalsText(0.000001), "0.000001");
    EXPECT_EQ(SixDecimalsText(-3.5), "-3.5");
    EXPECT_EQ(SixDecimalsText(-0.0000001), "0") << "no negative zero";
    EXPECT_EQ(SixDecimalsText(0.9999999), "1");
    std::mt19937 random(17);
    std::uniform_real_distribution<double> factors(-1000.0, 1000.0);
    for (int i = 0; i < 20000; ++i) {
        // Quarter steps, tenths and arbitrary values; exact halfway cases
        // (where printf rounds the binary value) are vanishingly rare here.
        double value = i < 8000 ? (i - 4000) / 4.0 : i < 12000 ? (i - 10000) / 10.0 : factors(random);
        ASSERT_EQ(SixDecimalsText(value), PrintfSixDecimals(value)) << value;
    }
}

TEST(DecimalText, OutOfRangeValuesAreWrittenAsZero) {
    EXPECT_EQ(SixDecimalsText(1e12), "0");
    EXPECT_EQ(SixDecimalsText(-1e300), "0");
    EXPECT_EQ(SixDecimalsText(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(SixDecimalsText(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(SixDecimalsText(999999999999.0), "999999999999");
}

TEST(DecimalText, ReadsWhatStrtodReadForPlainDecimals) {
    for (const char* text : {"1.5", "-.25", "3.", "+7", "0", "0.000001", "123456.789012", "1000000000000000000000",
                             "0.1", "2.675", "12345678901234567890.5", "0.30000000000000004"}) {
        std::optional<double> parsed = ParseDecimalText(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_DOUBLE_EQ(*parsed, std::strtod(text, nullptr)) << text;
    }
    std::mt19937 random(5);
    std::uniform_real_distribution<double> factors(-1000.0, 1000.0);
    for (int i = 0; i < 5000; ++i) {
        std::string text = SixDecimalsText(factors(random));
        ASSERT_EQ(ParseDecimalText(text), std::strtod(text.c_str(), nullptr)) << text << " is read back exactly";
    }
}

TEST(DecimalText, AnythingButAPlainDecimalIsRefused) {
    for (const char* text : {"", "-", ".", "+.", "1.2.3", " 1", "1 ", "1e3", "inf", "nan", "0x10", "1,5", "--1"}) {
        EXPECT_FALSE(ParseDecimalText(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace palisade
