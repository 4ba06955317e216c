#pragma once

#include <cstdint>
#include <optional>

#include "console/pages/Page.h"

namespace quillane {

// The detector calibrates while the Calibration page is in view and only
// then: a detector left in calibration does not guard its zone, and one that
// is not calibrating cannot be aimed. Page changes ask for the mode through
// the code-0 word; these rules say which word a change asks for.

enum class ModeCommand { None, StartCalibration, StopCalibration };

// Whether the detector will be calibrating once the mode it was told last
// has reached it: the code-0 word waiting in its slot tells it; else a code-0
// word already sent that no state word has answered since; else the state it
// reports. The reported state lags the words on their way by up to a full set
// of status words, so it alone would undo a quick page change.
bool CalibrationAhead(std::optional<std::uint16_t> pendingCmd0,
                      std::optional<std::uint16_t> unansweredCmd0, std::uint16_t stateWord);

// Calibration coming into view starts calibration, Setup and Settings stop
// it, each only when the detector will not already be in that mode; nothing
// is asked without a detector.
ModeCommand ModeCommandOnShow(Page shown, bool linked, bool calibrationAhead);
// A page-selecting key for the page already in view asks once more for its
// mode, as showing it would (a calibration start the detector refused is sent
// again by F2); a key for another page asks nothing here, the page change does.
ModeCommand ModeCommandOnKey(Page inView, Page keyPage, bool linked, bool calibrationAhead);
// Calibration leaving the view stops calibration.
ModeCommand ModeCommandOnLeave(Page left, bool linked, bool calibrationAhead);
// The window closing stops calibration when the detector reports it, and
// when it will calibrate once the words on their way reached it (a start
// still going out, a stop not yet taken): a detector left calibrating would
// not guard its zone.
ModeCommand ModeCommandAtClose(bool calibrating, bool calibrationAhead);

}  // namespace quillane
