#include "console/pages/AxisScale.h"

#include <climits>
#include <cmath>

namespace quillane {
namespace {

// v in whole microvolts, truncated toward zero. A value past the integer
// range (a hand-edited table can give any level) is held at its edge, where
// the rule has already reached its largest axis; one that is not a number
// reads as nothing at all.
long long Microvolts(double v) {
    const double uv = v * 1000.0;
    if (std::isnan(uv)) return 0;
    if (uv >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (uv <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<long long>(uv);
}

}  // namespace

AxisScale ScaleAxisToValue(double v) {
    long long n = Microvolts(v);
    double s = 0.001;
    for (int i = 1; i <= 7 && n != 0; ++i) {
        n /= 5;
        s *= 5;
        if (n == 0) break;
        n /= 2;
        s *= 2;
    }
    return AxisScale{s, s * 0.2};
}

}  // namespace quillane
