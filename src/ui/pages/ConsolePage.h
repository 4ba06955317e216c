#pragma once

#include <QWidget>
#include <optional>

#include "console/line/AnswerMarks.h"
#include "console/pages/AccessLevel.h"
#include "console/pages/ModelRedraw.h"
#include "console/pages/Page.h"
#include "console/phone/RemoteView.h"

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
    // Something the page draws from changed since it last drew (ModelRedraw.h),
    // and the redraw limit let the redraw through: redraw from the stored words.
    virtual void ModelChanged() {}
    // What the page drew from when it last computed a redraw; none before.
    const std::optional<DrawnFrom>& LastDrawnFrom() const { return drawnFrom_; }
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
    // What the page shows beyond the stored words (its signal, maximum and
    // alarm count), for the phone's view.
    virtual PageHeld Held() const { return {}; }
    // The mark of a place beside a button of the page, awaited or known;
    // none empties it.
    virtual void ShowAnswerMark(MarkPlace place, const CommandAnswer* answer) {
        static_cast<void>(place);
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
    // A redraw was computed from the stored words as they are now.
    void NoteDrawn();

    PageContext& context_;

private:
    Page kind_;
    std::optional<DrawnFrom> drawnFrom_;
};

}  // namespace quillane
