#pragma once

#include <optional>
#include <vector>

#include "console/pages/AccessLevel.h"
#include "console/pages/Page.h"

namespace quillane {

// Which pages the console offers for a link state and an access level, as the
// ordered steps the window carries out on its tab row. The order matters: when
// the tab of the page in view disappears the tab row picks a neighbour, and the
// basic level brings Setup into view again after hiding the others (or the
// page a detection brings back, which would otherwise give way to Setup).
struct PageStep {
    enum Kind { ShowTab, HideTab, BringIntoView };
    Kind kind;
    Page page;
    bool operator==(const PageStep& o) const { return kind == o.kind && page == o.page; }
};
std::vector<PageStep> PageVisibilitySteps(AccessLevel level, bool linked,
                                          Page basicPage = Page::Setup);

// Whether a page's tab is shown after the steps for this level and link.
bool TabShown(AccessLevel level, bool linked, Page page);

// btnParamSet follows the link at both levels that offer the Settings page,
// so that one disabled by a lost link is enabled again by the next detection
// at either; the basic level, which does not offer it, leaves it (nothing).
std::optional<bool> ParamSetEnabledFor(AccessLevel level, bool linked);

// The page a page-selecting key brings into view: F1 About, F2 Calibration,
// F3 Setup at the basic level and Settings above it, F9 Properties at the
// developer level only; none for any other key.
std::optional<Page> PageForKey(int functionKey, AccessLevel level);
// The page a detection brings into view. A detector found again on the same
// port after the link was lost (a cable pulled and put back, a line that
// went quiet) gets back the page that was in view, and so its mode: aiming
// goes on. Otherwise a detector found calibrating brings the Calibration
// page (a detector left so would not guard its zone); else the page stays
// and the note asks for a mode.
std::optional<Page> PageOnDetection(bool calibrating, std::optional<Page> lostFrom);
// A lost link brings About into view, unless Calibration is in view: it stays
// there to aim the detector found next.
std::optional<Page> PageOnLinkLoss(Page active);

// Whether changed sensitivity or zone words redraw the page in view: the
// Setup page only with signal words flowing, the Settings page always.
bool SensRefreshDue(Page active, bool working);

}  // namespace quillane
