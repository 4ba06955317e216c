#pragma once

#include <string>
#include <vector>

#include "console/line/CommandRun.h"
#include "console/pages/Colour.h"

namespace quillane {

class CorrespondenceTables;
class NumberFormat;

// The short coloured mark that shows an installer, without hovering, whether
// the detector took a command: beside the Apply button that queued it, or in
// the info panel under the mode for the runs no button queued (calibration
// start and stop, the automatic defaults). The tooltip says what was sent and
// which values came back otherwise.
struct CommandAnswer {
    std::string text;
    Colour colour;
    std::string tip;
};

// While the detector's answer is awaited.
CommandAnswer WaitingAnswer(CommandSource source);
CommandAnswer OutcomeAnswer(const CommandRun& run, const CorrespondenceTables& tables,
                            const NumberFormat& format);
// The runs that no Apply button queued are answered in the info panel.
bool AnsweredInInfoPanel(CommandSource source);

// What the detector did not take, one text a field, in the units of the page
// whose action queued the run, as the installer set them there: "PL: asked
// 27 %, detector reports 25.5 %", "Zone length: asked 100 m, no answer within
// 2 s". The Setup page sets all three thresholds from one sensitivity, so its
// runs speak of the sensitivity; a text that repeats is said once.
std::vector<std::string> DifferingTexts(const CommandRun& run, const CorrespondenceTables& tables,
                                        const NumberFormat& format);

}  // namespace quillane
