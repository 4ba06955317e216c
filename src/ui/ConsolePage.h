#pragma once

#include <QWidget>

namespace quillane {

// One working page of pcMain (Calibration, Setup, Settings, Properties). The
// function keys act on the page in view through these hooks, so a page answers
// only the keys whose controls it carries; the others stay inert on it.
class ConsolePage : public QWidget {
    Q_OBJECT

public:
    // The tab sheet's name ("tsTuneUp", ...) becomes the page's object name.
    explicit ConsolePage(const char* tabSheetName, QWidget* parent = nullptr);

    virtual void ApplayKey() {}        // F4
    virtual void ApplayParamsKey() {}  // F5
    virtual void SaveTrvKey() {}       // F6
    virtual void ClearTrvKey() {}      // F7
    virtual void ClearKey() {}         // F8
    virtual void CancelKey() {}        // Esc
    virtual void SeparRangeKey() {}    // actSeparRange, which has no key

    // The page came into view, or left it (tab sheet OnShow / OnHide).
    virtual void PageShow() {}
    virtual void PageHide() {}

    // The detector's state went into Alarm while this page was in view.
    virtual void AlarmEntered() {}
};

}  // namespace quillane
