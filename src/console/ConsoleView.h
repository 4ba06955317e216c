#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/line/AnswerMarks.h"
#include "console/line/CommandRun.h"
#include "link/PortDirectory.h"
#include "protocol/StatusHandlers.h"

namespace quillane {

// What the core asks of the window, beside the status handlers the receive
// pass calls. TfmMain implements it; tests record the calls.
class ConsoleView : public StatusHandlers {
public:
    // Window part of the detection step: the core has already queued the
    // automatic defaults when the detector asked for them.
    virtual void OnDetectorFound() = 0;
    // Window part of the return to waiting: the core has already reset the
    // stored status words.
    virtual void ResetDetectorView() = 0;

    // The note area under the pages; every message replaces the whole text.
    virtual void SetNote(const std::string& text) = 0;
    // Refills the port selector with these ports ("COM<n>", tooltip the
    // device) and selects the one numbered `selected`; what it said of a port
    // that did not open goes with the old items.
    virtual void SetPortItems(const std::vector<PortEntry>& items, int selected) = 0;
    // Why the chosen port did not open, or with nothing to choose why no port
    // is free, for the port selector's tooltip; empty once a port opened.
    virtual void SetPortProblem(const std::string& text) = 0;
    // Text of the selected port item, empty when there is none.
    virtual std::string SelectedPortText() const = 0;
    // An error raised during a tick, for the standard error box.
    virtual void ShowError(const std::string& message) = 0;

    // The device behind the chosen port went away; the console tries the port
    // again about once a second. `text` is for the link-health tooltip (the
    // note says it too). A view without that tooltip, marks or a record (a
    // benchmark, a fuzz target) has no use for this hook and those below.
    virtual void Reconnecting(const std::string& text) { static_cast<void>(text); }
    // The console opened a port by itself: the chosen one again after its
    // device went away, or one that appeared while no detector was linked.
    virtual void Reconnected() {}
    // The port in use as it is named now, after the console opened it again
    // (an adapter back under another device): for the port selector's tooltip.
    virtual void ShowPortInUse(const PortEntry& entry) { static_cast<void>(entry); }
    // What a mark shows now; none empties it.
    virtual void ShowAnswerMark(MarkPlace place, const AnswerMark* mark) {
        static_cast<void>(place);
        static_cast<void>(mark);
    }
    // A run of sends began: its outcome is on the way (its mark shows it).
    virtual void CommandRunBegun(CommandSource source) { static_cast<void>(source); }
    // The detector's status words confirmed a run, or the answer time ran out.
    virtual void CommandRunEnded(const CommandRun& run) { static_cast<void>(run); }
    // A command word went into its slot (nothing is sent yet): its sends
    // need the tick.
    virtual void CommandQueued(std::uint16_t word) { static_cast<void>(word); }
    // A run takes no more words: what it asked of the detector, for the site
    // record.
    virtual void CommandRunQueued(const QueuedRun& run) { static_cast<void>(run); }
};

}  // namespace quillane
