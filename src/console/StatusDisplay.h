#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "console/Page.h"

namespace quillane {

struct DetectorModel;
class NumberFormat;

// What the info panel and the note show for the stored status words, as plain
// values; the window only copies them into its labels.

struct Colour {
    enum Role : std::uint8_t { Rgb, ButtonFace, WindowText };
    Role role = Rgb;
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour& o) const {
        return role == o.role && (role != Rgb || (r == o.r && g == o.g && b == o.b));
    }
};
namespace colour {
constexpr Colour kGreen{Colour::Rgb, 0, 128, 0};
constexpr Colour kRed{Colour::Rgb, 255, 0, 0};
constexpr Colour kLime{Colour::Rgb, 0, 255, 0};
constexpr Colour kYellow{Colour::Rgb, 255, 255, 0};
constexpr Colour kWhite{Colour::Rgb, 255, 255, 255};
constexpr Colour kBlack{Colour::Rgb, 0, 0, 0};
constexpr Colour kButtonFace{Colour::ButtonFace, 0, 0, 0};
constexpr Colour kWindowText{Colour::WindowText, 0, 0, 0};
}  // namespace colour

const char* StateText(unsigned state);  // "Normal" ... "Unknown-7"
const char* RegulText(unsigned regul);  // "Manual", "Special", "Auto", "Auto"
const char* ModelText(unsigned dev);    // "Dravena" ... "Unknown-7"

struct IdentityDisplay {
    std::string model, prog, letter, address;
    bool addressShown = false;
};
IdentityDisplay IdentityValues(const DetectorModel& m);

std::string PowerValue(const DetectorModel& m, double kdc, double urd, const NumberFormat& f);

struct ZoneDisplay {
    std::string regul, sens, dist;
};
ZoneDisplay ZoneValues(const DetectorModel& m, const std::function<int(int)>& distSens);

struct SpeedWarningDisplay {
    std::string speed;
    std::optional<std::string> note;  // unset: the note stays as it is
};
SpeedWarningDisplay SpeedAndWarningValues(const DetectorModel& m, Page active,
                                          const NumberFormat& f);

struct StateDisplay {
    std::string aver;  // "---" on the Calibration page
    std::string state;
    Colour background, text;
    std::optional<std::string> note;  // unset: the note stays as it is
    bool alarmEntered = false;        // prev not Alarm, cur Alarm (for the alarm counters)
};
StateDisplay DetectorStateValues(const DetectorModel& m, Page active, const NumberFormat& f);

// The signal handler's decision: which page to redraw, after the redraw limit.
enum class SignalRefresh { None, TuneUp, Sense, Range };
// lastRefresh (monotonic seconds) moves on whenever the limit lets a
// Calibration or Setup redraw through, even when the state then prevents it.
SignalRefresh ShowSignalDecision(const DetectorModel& m, Page active, bool working,
                                 double nowSeconds, double& lastRefresh, int selectFilter);

}  // namespace quillane
