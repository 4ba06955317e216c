#pragma once

#include <optional>
#include <string>

#include "console/pages/PageCommands.h"
#include "console/pages/StatusDisplay.h"

namespace quillane {

struct DetectorModel;
class CorrespondenceTables;
class RedrawLimit;
class NumberFormat;

// The Settings page's rules as plain values: the signal as a deviation in
// percent from the detector's average, the largest deviations either way, the
// threshold boxes and the commands of its two Apply buttons.

// The deviations kept between redraws (percent), all 0 when the window is
// built and kept while other pages are in view.
struct RangeValues {
    double dblRangeSignal = 0;
    double dblRangeMax = 0;  // 0 to 80, or what Reset maximum set
    double dblRangeMin = 0;  // -80 to 0, or what Reset maximum set
};

// The largest deviation the axis shows; larger ones are held there.
constexpr double kRangeLimit = 80;

// sig against aver in percent, on the raw counts. Without an average there is
// nothing to compare against: the signal reads as no deviation at all, so
// the page neither fails nor moves its maximum and minimum.
double RangeDeviation(unsigned sig, unsigned aver);

// The fills of the threshold markers while the detector's crossing flags are
// set (red PL, blue LL, green HL; white when clear).
struct RangeFlagFills {
    Colour pp, mp, bp;
    bool anySet = false;
    bool operator==(const RangeFlagFills& o) const {
        return pp == o.pp && mp == o.mp && bp == o.bp;
    }
    bool operator!=(const RangeFlagFills& o) const { return !(*this == o); }
};
RangeFlagFills RangeFlagFillsOf(const DetectorModel& m);

// One RefreshRangeCharts.
struct RangeChart {
    RangeFlagFills fills;  // always
    // The rest is only for a redraw the rate limit let through (always while a
    // flag is set, so that a crossing shows at once).
    bool redraw = false;
    // After a mode other than Normal the stored signal word is to read the
    // average, so that the deviation is 0 until the next signal word.
    std::optional<unsigned> heldSig;
    double signal = 0;                    // the deviation shown, % (RangeSignalTexts)
    double ppSignal = 0, mpbpSignal = 0;  // serPPSignal, serMPBPSignal
    std::optional<double> maxX, minX;     // serMax, serMin, when they moved
    double pp = 0, mp = 0, bp = 0;        // serPP, serMP, serBP
};
// The limit's time (monotonic seconds) moves on with every redraw let through.
RangeChart RefreshRange(const DetectorModel& m, const CorrespondenceTables& t, RangeValues& v,
                        double nowSeconds, RedrawLimit& limit, int selectFilter);

// lRangeSignalPlus and lRangeSignalMinus for a deviation: "0.0%" on the side
// it is not on. Made only when the page is drawn, not at every word.
struct RangeSignalTexts {
    std::string plus, minus;
};
RangeSignalTexts RangeSignalTextsOf(double signal, const NumberFormat& f);

// Reset maximum: the present deviation, without the 80 % limit and without
// holding the signal at the average, becomes the maximum or the minimum and
// the other side goes back to 0.
void ResetRangeMaximum(const DetectorModel& m, RangeValues& v);

// Cancel: the controls loaded from the detector's stored words.
struct RangeLoad {
    bool autoMethod = true;                  // regul 2 or 3
    std::optional<bool> split;               // Manual only: checked for Special (regul 1)
    int distItem = 0;                        // zone index - 2, item 0 below zone 2
    int ppItem = 0, mpItem = 0, bpItem = 0;  // senspp, sensmp, sensbp
};
RangeLoad RangeCancelValues(const DetectorModel& m);

// Which controls of the threshold group take input for a method and split box.
struct RangeEnabled {
    bool dist = false, separ = false, pp = false, mp = false, bp = false;
};
RangeEnabled RangeControlsEnabled(bool manual, bool split);

// Auto: the threshold item the zone table gives for a zone-length item; -1
// (nothing selected) for a table value that is no item of the 32 boxes, so
// that Apply sends the detector's own thresholds rather than the nearest end.
int RangeItemForZoneItem(const CorrespondenceTables& t, int distItem);

// A preview marker: hidden (-1) while its box shows the detector's own index
// or nothing (Apply then sends that index), else at the box's text read as a
// number (0 when it does not read).
double PreviewMarkerX(int selectedItem, unsigned storedIndex, const std::string& boxText,
                      const NumberFormat& f);

// Apply of the threshold group: PL with code 0, LL and HL with code 1, the
// zone and method with code 2 (Auto: the chosen zone, method 2; Manual: the
// detector's zone, method 1 with split thresholds, else 0). A box without a
// selection sends the detector's own value back rather than whatever an
// index of -1 cut to its field would be.
struct RangeChoice {
    bool autoMethod = true;
    bool split = false;
    int distItem = 0;
    int ppItem = 0, mpItem = 0, bpItem = 0;
};
PageCommands RangeApplyCommands(const DetectorModel& m, const RangeChoice& choice);

// The Parameters group: what it shows from the stored words ...
struct ParamLoad {
    int minSpeedItem = 0, maxSpeedItem = 0, letterItem = 0;
    std::string address;
};
ParamLoad ParamLoadValues(const DetectorModel& m);

// ... and what its Apply queues: the zone and thresholds words with the
// chosen speeds and letter, and the zone, method and LL/HL of the stored
// words sent back as they are.
PageCommands ParamSetCommands(const DetectorModel& m, int minSpeedItem, int maxSpeedItem,
                              int letterItem);

}  // namespace quillane
