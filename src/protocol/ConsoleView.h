#pragma once

#include <string>
#include <vector>

#include "link/PortDirectory.h"

namespace quillane {

// What the core asks of the window. TfmMain implements it; tests record the calls.
class ConsoleView {
public:
    virtual ~ConsoleView() = default;

    // Status handlers, one per status code, called by the receive pass after the
    // word is stored.
    virtual void ShowSignal() = 0;
    virtual void RefreshSensPages() = 0;
    virtual void ShowZone() = 0;
    virtual void ShowSpeedAndWarning() = 0;
    virtual void ShowDetectorState() = 0;
    virtual void ShowIdentity() = 0;
    virtual void ShowPower() = 0;

    // Window part of the detection step: the core has already queued the
    // automatic defaults when the detector asked for them.
    virtual void OnDetectorFound() = 0;
    // Window part of the return to waiting: the core has already reset the
    // stored status words.
    virtual void ResetDetectorView() = 0;

    // The note area under the pages; every message replaces the whole text.
    virtual void SetNote(const std::string& text) = 0;
    // Refills the port selector with the available ports ("COM<n>", tooltip the
    // device) and selects the last one; what it said of a port that did not
    // open goes with the old items.
    virtual void SetPortItems(const std::vector<PortEntry>& available) = 0;
    // Why the chosen port did not open, or with nothing to choose why no port
    // is free, for the port selector's tooltip; empty once a port opened.
    virtual void SetPortProblem(const std::string& text) = 0;
    // Text of the selected port item, empty when there is none.
    virtual std::string SelectedPortText() const = 0;
    // An error raised during a tick, for the standard error box.
    virtual void ShowError(const std::string& message) = 0;
};

}  // namespace quillane
