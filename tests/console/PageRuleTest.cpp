// The pages offered by link and access level, the order the tab row learns
// of them in, and where the window goes on the screen.
#include <gtest/gtest.h>

#include "console/pages/PageRule.h"
#include "console/pages/ScreenPlacement.h"

namespace quillane {
namespace {

constexpr Page kAll[] = {Page::Calibration, Page::Setup, Page::Settings, Page::Properties,
                         Page::About};

TEST(PageRule, TabsShownByLevelAndLink) {
    struct Case {
        AccessLevel level;
        bool linked;
        bool shown[5];  // Calibration, Setup, Settings, Properties, About
    };
    const Case cases[] = {
        {EAccBasic, true, {true, true, false, false, true}},
        {EAccAdvanced, true, {true, false, true, false, true}},
        {EAccDeveloper, true, {true, false, true, true, true}},
        {EAccBasic, false, {false, false, false, false, true}},
        {EAccAdvanced, false, {false, false, false, false, true}},
        {EAccDeveloper, false, {false, false, false, false, true}},
    };
    for (const Case& c : cases)
        for (int p = 0; p < 5; ++p)
            EXPECT_EQ(TabShown(c.level, c.linked, kAll[p]), c.shown[p])
                << "level " << int(c.level) << " linked " << c.linked << " page " << p;
}

TEST(PageRule, BasicBringsSetupIntoViewBeforeAndAfterHidingTheOthers) {
    using S = PageStep;
    const std::vector<PageStep> expected{
        {S::ShowTab, Page::Calibration}, {S::ShowTab, Page::Setup},
        {S::BringIntoView, Page::Setup}, {S::HideTab, Page::Settings},
        {S::HideTab, Page::Properties},  {S::BringIntoView, Page::Setup},
        {S::ShowTab, Page::About}};
    EXPECT_EQ(PageVisibilitySteps(EAccBasic, true), expected);
    // A detection that brings Calibration back does not pass through Setup.
    for (const PageStep& s : PageVisibilitySteps(EAccBasic, true, Page::Calibration))
        EXPECT_TRUE(s.kind != S::BringIntoView || s.page == Page::Calibration);
}

TEST(PageRule, OnlyTheLinkedBasicLevelBringsAPageIntoView) {
    for (AccessLevel level : {EAccBasic, EAccAdvanced, EAccDeveloper})
        for (bool linked : {false, true})
            for (const PageStep& s : PageVisibilitySteps(level, linked))
                EXPECT_TRUE(s.kind != PageStep::BringIntoView || (level == EAccBasic && linked));
}

TEST(PageRule, ParamSetFollowsTheLinkAtTheLevelsThatOfferSettings) {
    const struct {
        AccessLevel level;
        bool linked;
        std::optional<bool> enabled;
    } cases[] = {
        {EAccDeveloper, true, true},  {EAccDeveloper, false, false}, {EAccAdvanced, true, true},
        {EAccAdvanced, false, false}, {EAccBasic, true, {}},         {EAccBasic, false, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParamSetEnabledFor(c.level, c.linked), c.enabled)
            << "level " << int(c.level) << " linked " << c.linked;
}

TEST(PageRule, SensitivityWordsRedrawSetupOnlyWhileWorkingAndSettingsAlways) {
    EXPECT_TRUE(SensRefreshDue(Page::Setup, true));
    EXPECT_FALSE(SensRefreshDue(Page::Setup, false));
    EXPECT_TRUE(SensRefreshDue(Page::Settings, false));
    for (Page p : {Page::Calibration, Page::Properties, Page::About})
        EXPECT_FALSE(SensRefreshDue(p, true));
}

TEST(PageRule, PagesTheKeysDetectionAndALostLinkBringIntoView) {
    const struct {
        int key;
        AccessLevel level;
        std::optional<Page> page;
    } keys[] = {
        {1, EAccBasic, Page::About},
        {2, EAccBasic, Page::Calibration},
        {3, EAccBasic, Page::Setup},
        {3, EAccAdvanced, Page::Settings},
        {3, EAccDeveloper, Page::Settings},
        {9, EAccBasic, {}},
        {9, EAccAdvanced, {}},
        {9, EAccDeveloper, Page::Properties},
        {4, EAccDeveloper, {}},
    };
    for (const auto& k : keys)
        EXPECT_EQ(PageForKey(k.key, k.level), k.page) << "F" << k.key << " level " << k.level;
    // A detector found again gets back the page of the loss, and its mode.
    const struct {
        bool calibrating;
        std::optional<Page> lostFrom, page;
    } detections[] = {
        {true, std::nullopt, Page::Calibration},
        {false, std::nullopt, std::nullopt},
        {false, Page::Calibration, Page::Calibration},
        {true, Page::Setup, Page::Setup},
        {false, Page::Properties, Page::Properties},
        {true, Page::About, Page::Calibration},
        {false, Page::About, std::nullopt},
    };
    for (const auto& d : detections)
        EXPECT_EQ(PageOnDetection(d.calibrating, d.lostFrom), d.page)
            << d.calibrating << " " << (d.lostFrom ? static_cast<int>(*d.lostFrom) : -1);
    for (Page p : kAll)
        EXPECT_EQ(PageOnLinkLoss(p),
                  p == Page::Calibration ? std::nullopt : std::optional(Page::About));
}

TEST(ScreenPlacement, CentredWhereItFitsAgainstTheEdgeWhereItDoesNot) {
    EXPECT_EQ(PlaceOnScreen({0, 0, 1280, 1024}, 786, 418), (ScreenPoint{247, 303}));
    EXPECT_EQ(PlaceOnScreen({0, 0, 640, 512}, 786, 418), (ScreenPoint{0, 47}));  // 200 %
    EXPECT_EQ(PlaceOnScreen({1280, 30, 1024, 400}, 786, 418), (ScreenPoint{1399, 30}));
}

}  // namespace
}  // namespace quillane
