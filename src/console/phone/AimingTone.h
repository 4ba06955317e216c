#pragma once

#include <optional>

namespace quillane {

// The aiming tone a phone plays while the installer aims the detector, in the
// manner of a dish-aiming finder: its pitch rises as the signal nears the
// largest seen, three octaves from kLowHz (nothing yet) to kHighHz (at the
// maximum), equal steps of closeness giving equal steps of pitch. Silence
// while nothing is being aimed (the link lost, the detector not calibrating,
// or a page without a maximum) and before there is any maximum.
constexpr int kAimingLowHz = 220;
constexpr int kAimingHighHz = 1760;
std::optional<int> AimingToneHz(double signal, double maximum, bool aiming);

// How close the signal is to the maximum, 0 to 1 (0 without a maximum).
double Closeness(double signal, double maximum);

}  // namespace quillane
