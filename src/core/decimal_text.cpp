// Decimal texts for the few fractional values stored as text.
#include "core/decimal_text.h"

#include <cmath>
#include <cstdint>

namespace palisade {
namespace {

constexpr double kLargestWritten = 1e12;
constexpr std::uint64_t kMillion = 1000000;

std::string DigitsOf(std::uint64_t number) {
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + number % 10));
        number /= 10;
    } while (number != 0);
    return digits;
}

}  // namespace

std::string SixDecimalsText(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kLargestWritten) return "0";
    // The whole part and the fraction apart: both are exact in a double, and
    // the fraction's millionths round as printf rounds them (but for exact ties).
    double magnitude = std::fabs(value);
    double whole = std::floor(magnitude);
    auto wholeNumber = std::uint64_t(whole);
    auto millionthsOfFraction = std::uint64_t(std::llround((magnitude - whole) * double(kMillion)));
    std::uint64_t millionths = wholeNumber * kMillion + millionthsOfFraction;
    std::string text = (value < 0 && millionths != 0) ? "-" : "";
    text += DigitsOf(millionths / kMillion);
    std::string fraction = DigitsOf(millionths % kMillion);
    fraction.insert(fraction.begin(), 6 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

std::optional<double> ParseDecimalText(std::string_view text) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    // Up to 18 significant digits are kept; further integer digits only scale.
    std::uint64_t mantissa = 0;
    int kept = 0, scale = 0, digits = 0;
    bool point = false;
    for (; at < text.size(); ++at) {
        char c = text[at];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        ++digits;
        if (kept < 18) {
            mantissa = mantissa * 10 + std::uint64_t(c - '0');
            if (mantissa != 0) ++kept;
            if (point) --scale;
        } else if (!point) {
            ++scale;
        }
    }
    if (digits == 0) return std::nullopt;
    double value = double(mantissa);
    // Powers of ten up to 1e22 are exact, so a short decimal is rounded once.
    if (scale < 0) value /= std::pow(10.0, -scale);
    if (scale > 0) value *= std::pow(10.0, scale);
    return negative ? -value : value;
}

}  // namespace palisade
