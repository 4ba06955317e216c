#pragma once

#include <array>
#include <optional>

#include "console/pages/Page.h"

namespace quillane {

class RedrawLimit;
struct DetectorModel;

// A page shows the detector as it reports now: whenever anything a signal
// page draws from changes, the page redraws from the stored words, not only
// when a signal word is taken. The receive pass takes a signal word only when
// it differs, and the redraw of that word may have been held back (the
// detector was not yet calibrating, the limit refused it): a steady signal
// would then never be drawn. What each page draws from:
//   Calibration: while the link works and the detector calibrates, the
//     signal with its gain and reference; nothing otherwise (the bar keeps
//     its last value until the detector calibrates again);
//   Setup: the link, the mode, the average, the thresholds, the method, the
//     gain and reference; the signal while the link works in Normal (in any
//     other mode the bar keeps its last value);
//   Settings: the signal word with its crossing flags, the average, the
//     previous mode, the three thresholds.
// The access level changes what a page offers, not what it draws.
struct DrawnFrom {
    std::array<unsigned, 9> values{};
    bool operator==(const DrawnFrom& o) const { return values == o.values; }
    bool operator!=(const DrawnFrom& o) const { return !(*this == o); }
};
// None while the page draws no signal (About, Properties, Calibration
// outside calibration).
std::optional<DrawnFrom> DrawnFromOf(Page page, const DetectorModel& m, bool working);

// Whether the page in view redraws from the stored words now, given what it
// drew from last. The Calibration and Setup pages take the shared redraw
// limit here: a refused redraw is done when the limit allows (the trailing
// redraw), so the page shows the stored words within the limit's period. The
// Settings page holds its redraws to the limit itself.
bool ModelRedrawDue(Page page, const std::optional<DrawnFrom>& drawn, const DetectorModel& m,
                    bool working, double nowSeconds, RedrawLimit& limit, int selectFilter);

}  // namespace quillane
