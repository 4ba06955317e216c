#include "console/pages/PageRule.h"

namespace quillane {

std::vector<PageStep> PageVisibilitySteps(AccessLevel level, bool linked, Page basicPage) {
    const auto show = [linked](Page p) {
        return PageStep{linked ? PageStep::ShowTab : PageStep::HideTab, p};
    };
    const PageStep hideSense{PageStep::HideTab, Page::Setup};
    const PageStep hideRange{PageStep::HideTab, Page::Settings};
    const PageStep hideParams{PageStep::HideTab, Page::Properties};
    std::vector<PageStep> steps{show(Page::Calibration)};
    switch (level) {
        case EAccBasic:
            steps.push_back(show(Page::Setup));
            if (linked) steps.push_back({PageStep::BringIntoView, basicPage});
            steps.insert(steps.end(), {hideRange, hideParams});
            // Hiding the other tabs may have moved the selection away again.
            if (linked) steps.push_back({PageStep::BringIntoView, basicPage});
            break;
        case EAccAdvanced:
            steps.insert(steps.end(), {show(Page::Settings), hideSense, hideParams});
            break;
        case EAccDeveloper:
            steps.insert(steps.end(), {show(Page::Properties), show(Page::Settings), hideSense});
            break;
    }
    steps.push_back({PageStep::ShowTab, Page::About});
    return steps;
}

bool TabShown(AccessLevel level, bool linked, Page page) {
    bool shown = false;
    for (const PageStep& s : PageVisibilitySteps(level, linked)) {
        if (s.page != page || s.kind == PageStep::BringIntoView) continue;
        shown = s.kind == PageStep::ShowTab;
    }
    return shown;
}

std::optional<bool> ParamSetEnabledFor(AccessLevel level, bool linked) {
    if (level == EAccBasic) return std::nullopt;
    return linked;
}

std::optional<Page> PageForKey(int functionKey, AccessLevel level) {
    switch (functionKey) {
        case 1:
            return Page::About;
        case 2:
            return Page::Calibration;
        case 3:
            return level == EAccBasic ? Page::Setup : Page::Settings;
        case 9:
            if (level == EAccDeveloper) return Page::Properties;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<Page> PageOnDetection(bool calibrating, std::optional<Page> lostFrom) {
    if (lostFrom && *lostFrom != Page::About) return lostFrom;
    if (calibrating) return Page::Calibration;
    return std::nullopt;
}

std::optional<Page> PageOnLinkLoss(Page active) {
    if (active == Page::Calibration) return std::nullopt;
    return Page::About;
}

bool SensRefreshDue(Page active, bool working) {
    return (active == Page::Setup && working) || active == Page::Settings;
}

}  // namespace quillane
