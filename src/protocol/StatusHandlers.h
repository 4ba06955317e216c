#pragma once

namespace quillane {

// The status handlers, one per status code, that the receive pass calls after
// it stored a word. The window implements them as part of ConsoleView.
class StatusHandlers {
public:
    virtual ~StatusHandlers() = default;

    virtual void ShowSignal() = 0;
    virtual void RefreshSensPages() = 0;
    virtual void ShowZone() = 0;
    virtual void ShowSpeedAndWarning() = 0;
    virtual void ShowDetectorState() = 0;
    virtual void ShowIdentity() = 0;
    virtual void ShowPower() = 0;
};

}  // namespace quillane
