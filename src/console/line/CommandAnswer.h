#pragma once

#include <string>

#include "console/line/CommandRun.h"
#include "console/pages/Colour.h"

namespace quillane {

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
CommandAnswer OutcomeAnswer(const CommandRun& run, const NumberFormat& format);
// The runs that no Apply button queued are answered in the info panel.
bool AnsweredInInfoPanel(CommandSource source);

}  // namespace quillane
