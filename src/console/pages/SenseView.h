#pragma once

#include <optional>

#include "console/pages/AxisScale.h"
#include "console/pages/PageCommands.h"

namespace quillane {

struct DetectorModel;
class CorrespondenceTables;

// The Setup page's rules as plain values; the page copies them into its
// controls and chart.

// speSense offers 38 to 100 %; every value set into it is held there, so a
// zone table entry outside 0-31 still gives a sensitivity it can show.
constexpr int kSenseMinPercent = 38;
constexpr int kSenseMaxPercent = 100;
int ClampSensePercent(int percent);

// Cancel: the controls loaded from the detector's stored words.
struct SenseLoad {
    bool special = false;  // regul 1: the Special presets appearance, nothing else loaded
    int regulItem = 0;     // 0 Auto (regul 2, 3), 1 Manual (regul 0)
    int distItem = 0;      // zone index - 2, item 0 below zone 2
    int sensePercent = 0;  // from sensmp, before the spin editor holds it
};
SenseLoad SenseCancelValues(const DetectorModel& m);

// Auto: the sensitivity the zone table gives for a zone-length item.
int SensePercentForZoneItem(const CorrespondenceTables& t, int distItem);

// RefreshSenseChart: the detector's present levels, the levels the chosen
// sensitivity would give, and the signal while the detector is Normal.
struct SenseChart {
    std::optional<double> signal;       // mV; unset outside Normal, where it freezes
    double lower = 0, upper = 0;        // serMin, serMax
    double newLower = 0, newUpper = 0;  // serNewMin, serNewMax; 0 in Special presets
    AxisScale axis;                     // from the upper level
};
SenseChart SenseChartValues(const DetectorModel& m, const CorrespondenceTables& t, int sensePercent,
                            bool specialShown);

// Apply: one sensitivity index for all three thresholds; Auto sends the chosen
// zone with method 2, Manual the detector's own zone with method 0.
PageCommands SenseApplyCommands(const DetectorModel& m, int sensePercent, bool autoShown,
                                int distItem);

}  // namespace quillane
