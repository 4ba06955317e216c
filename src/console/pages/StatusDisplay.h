#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "console/pages/Colour.h"
#include "console/pages/Page.h"

namespace quillane {

class RedrawLimit;
struct DetectorModel;
class NumberFormat;

// What the info panel and the note show for the stored status words, as plain
// values; the window only copies them into its labels.

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

// The warning or malfunction the detector reports, as the console shows it
// (the note's text, or the state's name); nullptr while it reports none.
const char* DetectorWarningText(const DetectorModel& m);

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
// The limit's time (monotonic seconds) moves on whenever it lets a
// Calibration or Setup redraw through, even when the state then prevents it;
// a redraw it refuses waits for its trailing redraw.
SignalRefresh ShowSignalDecision(const DetectorModel& m, Page active, bool working,
                                 double nowSeconds, RedrawLimit& limit, int selectFilter);

}  // namespace quillane
