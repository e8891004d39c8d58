#include "Numbers.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace numbers {

namespace {

// Large enough for any double in fixed notation with up to 20 decimals.
constexpr std::size_t Room = 400;

} // namespace

std::string Fixed(double value, int decimals) {
    char text[Room];
    const std::to_chars_result r = std::to_chars(text, text + Room, value, std::chars_format::fixed, decimals);
    return std::string(text, r.ec == std::errc() ? r.ptr : text);
}

std::string General(double value, int digits) {
    char text[Room];
    const std::to_chars_result r = std::to_chars(text, text + Room, value, std::chars_format::general, digits);
    return std::string(text, r.ec == std::errc() ? r.ptr : text);
}

std::string Trimmed(double value, int decimals) {
    std::string s = Fixed(value, decimals);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::optional<double> Parse(std::string_view text) {
    // from_chars takes no leading '+', and reads "inf" and "nan": the text's form is checked first.
    std::size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const std::size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        const std::size_t exponent = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        if (i == exponent) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const std::from_chars_result r = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // As strtod reads it: too large is an infinity, too small a zero, with the text's sign.
        const std::size_t e = text.find_first_of("eE");
        const bool small = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
        const bool negative = text[0] == '-';
        value = small ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -value : value;
    }
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace numbers
