// Number parsing and formatting with both decimal separators: any text
// parses without harm, and what parses formats to text that parses back to
// the same value, as far as the format's digits reach.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/Conversions.h"
#include "model/NumberFormat.h"

namespace {

constexpr double kLargest15Digits = 1.79769313486231e308;

void Check(bool holds) {
    if (!holds) std::abort();
}

// Within half a unit of the last decimal shown, plus what 15 significant
// digits leave out of a large value.
bool Near(double a, double b, int decimals) {
    return std::fabs(a - b) <= 0.5 * std::pow(10.0, -decimals) + std::fabs(b) * 1e-14;
}

void RoundTrips(const quillane::NumberFormat& f, double v) {
    const std::string general = f.General(v);
    const auto back = f.ParseFloat(general);
    Check(back.has_value() && f.General(*back) == general && Near(*back, v, 15));
    for (int decimals = 0; decimals <= 3; ++decimals) {
        const auto fixed = f.ParseFloat(f.Fixed(v, decimals));
        Check(fixed.has_value() && Near(*fixed, v, decimals));
    }
    const std::string one = f.OneDecimalOptional(v);
    if (one.empty()) {
        Check(Near(0.0, v, 1));
    } else {
        const auto shown = f.ParseFloat(one);
        Check(shown.has_value() && Near(*shown, v, 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (char separator : {'.', ','}) {
        const quillane::NumberFormat f(separator);
        if (const auto v = f.ParseFloat(text)) {
            Check(std::isfinite(*v));
            // Fifteen digits round the very largest doubles beyond the range.
            if (std::fabs(*v) <= kLargest15Digits) RoundTrips(f, *v);
        }
    }
    if (const auto n = quillane::NumberFormat::ParseInt(text)) {
        Check(quillane::NumberFormat::ParseInt(std::to_string(*n)) == n);
        // Zone table cells become percentages without range checks.
        Check(quillane::SensToPercent(*n) == 100 - 2 * static_cast<long long>(*n));
    }
    return 0;
}
