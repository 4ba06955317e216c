#pragma once

#include <optional>
#include <string>

#include "console/pages/AxisScale.h"

namespace quillane {

struct DetectorModel;
class NumberFormat;

// The Calibration page's values, in millivolts: the last signal shown and the
// largest since the page was shown or the maximum was reset.
struct TuneUpValues {
    double dblTuneUpSignal = 0;
    double dblTuneUpMax = 0;
    // Local time (days) of the word that set the maximum, or of its reset.
    double maxReachedDays = 0;
};

// What one redraw of the Calibration page changes, in numbers: it runs at
// every signal word, and the texts are made only when the page is drawn
// (TuneUpText).
struct TuneUpDisplay {
    // lTuneUpMax shows the maximum anew only when it grew or held.
    bool maxShown = false;
    std::optional<AxisScale> axis;  // rescaled only then too: never shrunk by a falling signal
    bool barLime = true;            // lime near the maximum, red below
};

// RefreshTuneUpChart's rule on the stored signal word (with the latest gain
// and reference), at local time `nowDays`.
TuneUpDisplay RefreshTuneUp(const DetectorModel& m, TuneUpValues& v, double nowDays);

// Reset maximum: the maximum becomes the last signal shown, and the label and
// the axis say so at once, also when the stored word has fallen since (the
// next refresh then leaves the maximum alone).
TuneUpDisplay ResetTuneUpMax(TuneUpValues& v, double nowDays);

// lSignal's and lTuneUpMax's text of a value in millivolts, "0.000".
std::string TuneUpText(double milliVolts, const NumberFormat& f);

// Lime while the signal is at least 90 % of the maximum. A maximum of 0 has no
// ratio; the bar then has no length either, and lime is drawn.
bool TuneUpBarLime(double signal, double maximum);

}  // namespace quillane
