#pragma once

#include <optional>
#include <string>

namespace quillane {

// What a value shows that is no number at all (an infinity or NaN, from a
// factor such as Kdc=1e308): the empty form of every value the console shows.
inline constexpr char kNoValue[] = "---";

// Formats and parses numbers with the decimal separator of the user's locale.
// One object is set up at start-up; every format and parse of the console goes
// through it, in the window and in the settings file alike. A value that is
// not finite formats as kNoValue, never as INF or NAN.
class NumberFormat {
public:
    explicit NumberFormat(char decimalSeparator = '.') : sep_(decimalSeparator) {}
    char DecimalSeparator() const { return sep_; }

    // Fixed decimals ("0.000" is Fixed(v, 3), "0.0" is Fixed(v, 1)), rounded at
    // the last digit with halves away from zero, decided on the decimal value
    // (0.0005 shows as 0.001).
    std::string Fixed(double value, int decimals) const;
    // "#.#": at most one decimal, no leading zero, no trailing zero; empty for
    // a value that rounds to 0 (12 -> "12", 10.5 -> "10.5", 0.5 -> ".5").
    std::string OneDecimalOptional(double value) const;
    // Shortest general form with at most 15 significant digits (14.33, 12, 10.5).
    std::string General(double value) const;

    // A float in this locale's form; nothing for text that does not parse or
    // that parses to a non-finite number.
    std::optional<double> ParseFloat(const std::string& text) const;
    // A decimal integer (optional sign, blanks around allowed); nothing else.
    static std::optional<int> ParseInt(const std::string& text);

private:
    char sep_;
};

}  // namespace quillane
