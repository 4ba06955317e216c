#include "console/phone/AimingTone.h"

#include <algorithm>
#include <cmath>

namespace quillane {

double Closeness(double signal, double maximum) {
    if (!(maximum > 0) || !std::isfinite(signal)) return 0;
    return std::clamp(signal / maximum, 0.0, 1.0);
}

std::optional<int> AimingToneHz(double signal, double maximum, bool aiming) {
    if (!aiming || !(maximum > 0)) return std::nullopt;
    const double octaves = std::log2(static_cast<double>(kAimingHighHz) / kAimingLowHz);
    return static_cast<int>(
        std::lround(kAimingLowHz * std::exp2(octaves * Closeness(signal, maximum))));
}

}  // namespace quillane
