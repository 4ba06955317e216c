#include "model/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace quillane {

namespace {

// A finite double as its first 15 significant decimal digits: value is
// 0.d1d2...d15 x 10^exponent. Fifteen digits is all a double carries reliably,
// so the binary noise of a computed value (0.30000000000000004) never decides
// which way a half rounds.
struct Decimal {
    bool negative = false;
    std::string digits;  // 15 digits, or empty for zero
    int exponent = 0;
};

Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) return d;
    char buf[40];
    auto r =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string text(buf, r.ptr);  // "d.dddddddddddddde+XX"
    const auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exponent = std::stoi(text.substr(e + 1)) + 1;
    return d;
}

// Integer and fraction digits of |value| rounded to `decimals` places, halves
// away from zero on the decimal digits.
struct Rounded {
    bool negative = false;
    std::string integer;   // at least "0"
    std::string fraction;  // exactly `decimals` digits
    bool IsZero() const {
        return integer.find_first_not_of('0') == std::string::npos &&
               fraction.find_first_not_of('0') == std::string::npos;
    }
};

Rounded RoundTo(double value, int decimals) {
    const Decimal d = ToDecimal(value);
    // The digits of |value| x 10^decimals as an integer, rounded at its last digit.
    const int kept = d.exponent + decimals;
    std::string all;
    if (!d.digits.empty() && kept >= 0) {
        const size_t taken = static_cast<size_t>(std::min(kept, 15));
        all = d.digits.substr(0, taken);
        if (taken < d.digits.size() && d.digits[taken] >= '5') {
            size_t i = all.size();
            while (i > 0 && all[i - 1] == '9') all[--i] = '0';
            if (i > 0) {
                ++all[i - 1];
            } else {
                all.insert(all.begin(), '1');
            }
        }
        all.append(static_cast<size_t>(kept) - taken, '0');
    }
    const size_t fraction = static_cast<size_t>(decimals);
    if (all.size() < fraction + 1) all.insert(0, fraction + 1 - all.size(), '0');
    Rounded r;
    r.negative = d.negative;
    r.integer = all.substr(0, all.size() - fraction);
    r.fraction = all.substr(all.size() - fraction);
    r.integer.erase(0, std::min(r.integer.find_first_not_of('0'), r.integer.size() - 1));
    return r;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// The conversions below take a minus sign but not a plus sign; a lone or
// doubled sign does not parse.
bool DropPlusSign(std::string& s) {
    if (!s.empty() && s[0] == '+') {
        s.erase(0, 1);
        if (!s.empty() && (s[0] == '+' || s[0] == '-')) return false;
    }
    return !s.empty();
}

}  // namespace

std::string NumberFormat::Fixed(double value, int decimals) const {
    if (!std::isfinite(value)) return kNoValue;
    if (decimals < 0) decimals = 0;
    const Rounded r = RoundTo(value, decimals);
    std::string out = (r.negative && !r.IsZero()) ? "-" : "";
    out += r.integer;
    if (decimals > 0) out += sep_ + r.fraction;
    return out;
}

std::string NumberFormat::OneDecimalOptional(double value) const {
    if (!std::isfinite(value)) return kNoValue;
    const Rounded r = RoundTo(value, 1);
    if (r.IsZero()) return "";
    std::string out = r.negative ? "-" : "";
    if (r.integer != "0") out += r.integer;
    if (r.fraction != "0") out += sep_ + r.fraction;
    return out;
}

std::string NumberFormat::General(double value) const {
    if (!std::isfinite(value)) return kNoValue;
    if (value == 0) return "0";
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string text(buf, r.ptr);
    for (char& c : text)
        if (c == '.') c = sep_;
    return text;
}

std::optional<double> NumberFormat::ParseFloat(const std::string& text) const {
    std::string s = Trimmed(text);
    if (!DropPlusSign(s)) return std::nullopt;
    // Only this locale's separator counts; the other one is garbage, so that a
    // value written under another locale reads as its default.
    for (char& c : s) {
        if (c == sep_) {
            c = '.';
        } else if (c == '.' || c == ',') {
            return std::nullopt;
        }
    }
    double value = 0;
    const char* end = s.data() + s.size();
    auto r = std::from_chars(s.data(), end, value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> NumberFormat::ParseInt(const std::string& text) {
    std::string s = Trimmed(text);
    if (!DropPlusSign(s)) return std::nullopt;
    int value = 0;
    const char* end = s.data() + s.size();
    auto r = std::from_chars(s.data(), end, value, 10);
    if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
    return value;
}

}  // namespace quillane
