#pragma once

#include <QWidget>

#include "console/line/CommandRun.h"
#include "console/pages/AccessLevel.h"
#include "console/pages/Page.h"

namespace quillane {

struct CommandAnswer;
struct PageContext;
struct StateDisplay;

// One page of pcMain. The window dispatches to the page in view through these
// hooks and knows no page by its class, so a page answers only the keys and
// words it has a use for; the others stay inert on it.
class ConsolePage : public QWidget {
    Q_OBJECT

public:
    // The tab sheet's name ("tsTuneUp", ...) becomes the page's object name.
    ConsolePage(const char* tabSheetName, Page kind, PageContext& context,
                QWidget* parent = nullptr);

    Page Kind() const { return kind_; }

    // ---- the page in view ----
    // The page came into view, or left it (tab sheet OnShow / OnHide); the
    // window has asked the detector for the page's mode just before.
    virtual void PageShow() {}
    virtual void PageHide() {}
    // A changed signal word that the shared redraw limit let through.
    virtual void SignalWord() {}
    // A changed sensitivity (code 3) or zone (code 4) word.
    virtual void SensitivityWords() {}
    // A code-5 word, after the info panel and the note took it.
    virtual void DetectorState(const StateDisplay& state) { static_cast<void>(state); }
    // The latest values the page computed reach its widgets.
    virtual void PresentFrame() {}

    // ---- keys, on the page in view ----
    virtual void ApplayKey() {}        // F4
    virtual void ApplayParamsKey() {}  // F5
    virtual void SaveTrvKey() {}       // F6
    virtual void ClearTrvKey() {}      // F7
    virtual void ClearKey() {}         // F8
    virtual void CancelKey() {}        // Esc
    virtual void SeparRangeKey() {}    // actSeparRange, which has no key

    // ---- every page, in view or not ----
    // The page-visibility rule ran for this level and link.
    virtual void AccessOrLinkChanged(AccessLevel level, bool linked) {
        static_cast<void>(level);
        static_cast<void>(linked);
    }
    // The access dialog closed, whatever its result.
    virtual void AccessDialogClosed() {}
    // The tables and filters were read at start-up or stored by the Properties page.
    virtual void TablesChanged() {}
    // The window closes or a report is due: what the page holds for the site
    // record goes in now.
    virtual void FlushSiteRecord() {}
    // The detector's answer to a run of sends, awaited or known: a page shows
    // it beside the button of its own that queued the run.
    virtual void CommandAnswered(CommandSource source, const CommandAnswer& answer) {
        static_cast<void>(source);
        static_cast<void>(answer);
    }

protected:
    // Signal-driven redraws may come 200 times a second, more than a screen
    // shows: a page computes its values at every one and presents the
    // latest at most once a display frame, now when a frame has passed
    // since the last, otherwise once the window's planner says it may.
    void RequestFrame();
    // Presents now, whatever the time (the user's own actions).
    void PresentFrameNow();

    PageContext& context_;

private:
    Page kind_;
};

}  // namespace quillane
