// The function keys and the pages offered by link state and access level.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>
#include <memory>
#include <vector>

#include "ConsoleHarness.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

const QString kSelectMode = QStringLiteral("Select 'Calibration' or 'Setup' mode");
const QString kWaiting = QStringLiteral("Waiting for detector ...");

TEST(MainWindowKeys, EveryKeyIsInertWithoutALink) {
    ConsoleHarness h;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    // F12, the phone view, works with or without a link.
    for (QAction* a : h.Window().actions())
        if (a->objectName() != "actRemoteView")
            spies.push_back(std::make_unique<QSignalSpy>(a, &QAction::triggered));
    ASSERT_EQ(spies.size(), 13u);  // F1-F10, Esc, Ctrl+P and the keyless actSeparRange
    const QString noteBefore = h.Note();

    for (int key : {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7,
                    Qt::Key_F8, Qt::Key_F9, Qt::Key_F10, Qt::Key_Escape})
        EXPECT_FALSE(h.PressOpensDialog(key)) << key;

    for (const auto& spy : spies) EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");
    EXPECT_EQ(h.Note(), noteBefore);
    EXPECT_EQ(h.Window().CurrentAccessLevel(), EAccBasic);
    EXPECT_EQ(h.VisibleTabs(), QStringList{"tsVelmo"});
}

TEST(MainWindowKeys, F4OpensThePortListWhileNoDetectorIsLinkedWhateverHasTheFocus) {
    ConsoleHarness h;
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    ASSERT_EQ(QApplication::focusWidget(), combo);
    const int before = h.ports.enumerations;
    const int closes = h.link.closeCount;
    h.ports.entries.push_back({12, true, "/dev/fake12", ""});

    h.Press(Qt::Key_F4);

    EXPECT_TRUE(combo->view()->isVisible());
    EXPECT_EQ(h.ports.enumerations, before + 1);  // refilled before it dropped
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), "COM7");  // the port in use
    EXPECT_EQ(h.Note(), "Select detector connection port ...");
    // Probing needs the port in use free; it is taken up again at once.
    EXPECT_EQ(h.link.closeCount, closes + 1);
    EXPECT_TRUE(h.link.IsOpen());
    combo->hidePopup();
    EXPECT_EQ(h.Note(), kWaiting);  // left without a choice: as it was

    // A lost link leaves the focus where the hidden page had it.
    h.LinkUp();
    h.LinkDown();
    h.Window().findChild<QWidget*>("tsVelmo")->setFocus();
    ASSERT_NE(QApplication::focusWidget(), combo);
    h.Press(Qt::Key_F4);
    EXPECT_TRUE(combo->view()->isVisible());
    combo->hidePopup();
}

TEST(MainWindowKeys, F4IsApplyOnceLinkedAndLeavesThePortListShut) {
    ConsoleHarness h;
    h.LinkUp();
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    QSignalSpy applay(h.Window().findChild<QAction*>("actApplay"), &QAction::triggered);
    const int before = h.ports.enumerations;

    h.Press(Qt::Key_F4);

    EXPECT_EQ(applay.count(), 1);
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_EQ(h.ports.enumerations, before);
    EXPECT_TRUE(h.link.IsOpen());
}

TEST(MainWindowKeys, ThePortListShowsAvailablePortsAndSelectsTheLast) {
    ConsoleHarness h;
    auto* combo = h.Find<QComboBox>("cbComPort");
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "COM7");
    EXPECT_EQ(combo->toolTip(), "/dev/fake7");
    EXPECT_EQ(combo->itemData(0, Qt::ToolTipRole).toString(), "/dev/fake3");
    ASSERT_FALSE(h.link.openedPorts.empty());
    EXPECT_EQ(h.link.openedPorts.back(), 7);  // the first tick opened it
    EXPECT_EQ(h.Note(), kWaiting);
}

TEST(MainWindowKeys, EachPortsTooltipNamesItsAdapterWhileTheItemStaysComN) {
    ConsoleHarness h;
    const QString stable = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    h.ports.entries = {
        {34, true, "/dev/ttyUSB1", "", "<b>Acme</b> & Co", ""},
        {33, true, "/dev/ttyUSB0", "", "FTDI FT232R USB UART, serial A50285BI",
         stable.toStdString()},
    };
    auto* combo = h.Find<QComboBox>("cbComPort");
    h.link.Close();  // no port in use: the list holds what the probe found
    combo->showPopup();
    combo->hidePopup();

    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "COM34");
    EXPECT_EQ(combo->itemText(1), "COM33");
    const QString ftdi = "FTDI FT232R USB UART, serial A50285BI\n/dev/ttyUSB0\n" + stable;
    EXPECT_EQ(combo->itemData(1, Qt::ToolTipRole).toString(), ftdi);
    EXPECT_EQ(combo->toolTip(), ftdi);  // the chosen one's, on the selector
    // A name that looks like markup reads as it is.
    QTextDocument shown;
    shown.setHtml(combo->itemData(0, Qt::ToolTipRole).toString());
    EXPECT_EQ(shown.toPlainText(), "<b>Acme</b> & Co\n/dev/ttyUSB1");
}

TEST(MainWindowKeys, TheAboutPageTellsTheConsolesVersion) {
    ConsoleHarness h;
    ASSERT_EQ(h.CurrentPage(), "tsVelmo");
    EXPECT_EQ(h.Text("lConsoleVersion"), "Console version " QUILLANE_VERSION);
    EXPECT_TRUE(h.Label("lConsoleVersion")->isVisible());
}

TEST(MainWindowKeys, ChoosingAPortReopensItEvenWhenTheSameItemIsChosenAgain) {
    ConsoleHarness h;
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    combo->showPopup();
    combo->hidePopup();
    const std::size_t opens = h.link.openedPorts.size();

    emit combo->activated(combo->currentIndex());

    EXPECT_TRUE(h.link.IsOpen());
    EXPECT_EQ(h.link.openedPorts.size(), opens + 1);
    EXPECT_EQ(h.Note(), kWaiting);
}

TEST(MainWindowKeys, F3BringsSetupAtBasicAndSettingsAboveIt) {
    ConsoleHarness h;
    h.LinkUp();
    h.Press(Qt::Key_F2);
    ASSERT_EQ(h.CurrentPage(), "tsTuneUp");
    h.Press(Qt::Key_F3);
    EXPECT_EQ(h.CurrentPage(), "tsSense");

    h.EnterAccessCode("5");  // advanced
    h.Press(Qt::Key_F2);
    h.Press(Qt::Key_F3);
    EXPECT_EQ(h.CurrentPage(), "tsRange");

    h.EnterAccessCode("527");  // developer
    h.Press(Qt::Key_F2);
    h.Press(Qt::Key_F3);
    EXPECT_EQ(h.CurrentPage(), "tsRange");
}

TEST(MainWindowKeys, F9BringsPropertiesOnlyAtDeveloperLevel) {
    ConsoleHarness h;
    h.LinkUp();
    h.Press(Qt::Key_F9);
    EXPECT_EQ(h.CurrentPage(), "tsSense");
    h.EnterAccessCode("5");
    h.Press(Qt::Key_F9);
    EXPECT_NE(h.CurrentPage(), "tsParams");
    h.EnterAccessCode("527");
    h.Press(Qt::Key_F9);
    EXPECT_EQ(h.CurrentPage(), "tsParams");
}

TEST(MainWindowKeys, F1ShowsAboutAndAsksForAMode) {
    ConsoleHarness h;
    h.LinkUp();
    ASSERT_EQ(h.CurrentPage(), "tsSense");
    h.Receive({word::Speed(1)});  // a note to be replaced
    h.Press(Qt::Key_F1);
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");
    EXPECT_EQ(h.Note(), kSelectMode);
}

TEST(MainWindowKeys, TheAboutPageClearsTheNoteWhileLinkedAndWaitsOtherwise) {
    ConsoleHarness h;
    auto* tabs = h.Window().findChild<QTabWidget*>("pcMain");
    h.LinkUp();
    h.Receive({word::Speed(3)});
    tabs->setCurrentIndex(4);  // the user clicks the About tab
    EXPECT_EQ(h.Note(), "");
    h.Receive({word::Speed(3)});
    // Back from the task bar the page is not newly in view: the warning stays.
    h.Window().setWindowState(Qt::WindowMinimized);
    h.Window().setWindowState(Qt::WindowNoState);
    EXPECT_EQ(h.Note(), "Warning: Low power level !");
    h.LinkDown();
    EXPECT_EQ(h.Note(), kWaiting);
}

TEST(MainWindowKeys, DetectionInCalibrationBringsTheCalibrationPage) {
    ConsoleHarness h;
    h.LinkUp(2);
    EXPECT_EQ(h.CurrentPage(), "tsTuneUp");
    ConsoleHarness normal;
    normal.LinkUp(0);
    EXPECT_EQ(normal.CurrentPage(), "tsSense");
    EXPECT_EQ(normal.Note(), kSelectMode);
}

// Keys 20 ms apart, against a detector that takes each mode word at once and
// reports its state every 100 ms.
TEST(MainWindowKeys, TheDetectorsModeFollowsKeysTwentyMillisecondsApart) {
    ConsoleHarness h;
    h.LinkUp();
    bool calibrating = false;
    for (int ms = 0; ms < 600; ++ms) {
        if (ms < 400 && ms % 20 == 0) h.Press(ms % 40 == 0 ? Qt::Key_F3 : Qt::Key_F2);
        if (ms % 100 == 0) h.link.Feed(word::State(calibrating ? 2 : 0));
        h.Tick();
        for (const Bytes& out : h.link.writes)
            if (frame::CommandCode(frame::StatusWord(out[0], out[1])) == 0)
                calibrating = frame::CmdState(frame::StatusWord(out[0], out[1])) == 1;
        h.link.writes.clear();
    }
    EXPECT_EQ(h.CurrentPage(), "tsTuneUp");
    EXPECT_TRUE(calibrating);
}

// ---- the page-visibility rule ----

struct VisibilityCase {
    const char* code;  // typed into the access dialog; nullptr keeps basic
    AccessLevel level;
    QStringList linkedTabs;
};
void PrintTo(const VisibilityCase& c, std::ostream* os) { *os << (c.code ? c.code : "no code"); }

class PageVisibility : public ::testing::TestWithParam<VisibilityCase> {};

TEST_P(PageVisibility, FollowsTheLinkAndTheAccessLevel) {
    const VisibilityCase& c = GetParam();
    ConsoleHarness h;
    h.LinkUp();
    if (c.code) h.EnterAccessCode(c.code);
    ASSERT_EQ(h.Window().CurrentAccessLevel(), c.level);
    EXPECT_EQ(h.VisibleTabs(), c.linkedTabs);

    h.LinkDown();
    EXPECT_EQ(h.VisibleTabs(), QStringList{"tsVelmo"});
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");

    h.LinkUp();
    EXPECT_EQ(h.VisibleTabs(), c.linkedTabs);
    EXPECT_EQ(h.Window().CurrentAccessLevel(), c.level);  // kept across the loss
}

INSTANTIATE_TEST_SUITE_P(
    ByLevel, PageVisibility,
    ::testing::Values(VisibilityCase{nullptr, EAccBasic, {"tsTuneUp", "tsSense", "tsVelmo"}},
                      VisibilityCase{
                          "527", EAccDeveloper, {"tsTuneUp", "tsRange", "tsParams", "tsVelmo"}}));

TEST(PageVisibilityRule, BasicLevelBringsSetupIntoViewAtEveryRun) {
    ConsoleHarness h;
    h.LinkUp();
    h.Press(Qt::Key_F2);
    h.EnterAccessCode("", true);  // a cancelled dialog still re-runs the rule
    EXPECT_EQ(h.CurrentPage(), "tsSense");
}

TEST(PageVisibilityRule, HigherLevelsLeaveThePageInViewAlone) {
    ConsoleHarness h;
    h.LinkUp();
    h.EnterAccessCode("5");
    h.Press(Qt::Key_F2);
    h.EnterAccessCode("", true);
    EXPECT_EQ(h.CurrentPage(), "tsTuneUp");
}

TEST(PageVisibilityRule, AHiddenPageInViewGivesWayToTheNextVisibleTab) {
    ConsoleHarness h;
    h.LinkUp();
    h.EnterAccessCode("527");
    h.Press(Qt::Key_F9);
    ASSERT_EQ(h.CurrentPage(), "tsParams");
    h.EnterAccessCode("5");  // Properties disappears; About is next in the row
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");
}

TEST(PageVisibilityRule, LosingTheLinkOnCalibrationEndsOnAbout) {
    ConsoleHarness h;
    h.LinkUp();
    h.EnterAccessCode("527");
    h.Press(Qt::Key_F2);
    h.LinkDown();
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");
    EXPECT_EQ(h.VisibleTabs(), QStringList{"tsVelmo"});
}

TEST(PageVisibilityRule, APageCanBeMadeTheOneInViewWhileItsTabIsHidden) {
    ConsoleHarness h;
    h.Window().actTuneUpSelectExecute();  // no link: the tab is hidden
    EXPECT_EQ(h.CurrentPage(), "tsTuneUp");
    EXPECT_EQ(h.VisibleTabs(), QStringList{"tsVelmo"});
}

// The tab row is the user's way to the pages: whatever it is asked to do, a
// hidden tab never becomes the page in view, and no page hears it was shown.
TEST(PageVisibilityRule, TheUserNeverReachesAHiddenPageThroughTheTabRow) {
    ConsoleHarness h;
    auto* tabs = h.Window().findChild<QTabWidget*>("pcMain");
    QTabBar* row = tabs->tabBar();
    const auto wheel = [row](int steps) {
        const QPoint at = row->tabRect(row->currentIndex()).center();
        QWheelEvent e(at, row->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(row, &e);
    };
    wheel(-1);  // no link: About is the only tab
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");

    h.LinkUp();  // basic: Calibration, Setup, About
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        wheel(1);
        seen << h.CurrentPage();
    }
    EXPECT_EQ(seen, (QStringList{"tsVelmo", "tsVelmo", "tsVelmo", "tsVelmo"}));
    for (int i = 0; i < 4; ++i) {
        wheel(-1);
        seen << h.CurrentPage();
    }
    EXPECT_EQ(seen.mid(4), (QStringList{"tsSense", "tsTuneUp", "tsTuneUp", "tsTuneUp"}));

    // A click or Ctrl+Tab that lands on a hidden tab is undone.
    h.Press(Qt::Key_F3);
    row->setCurrentIndex(tabs->indexOf(tabs->findChild<QWidget*>("tsParams")));
    EXPECT_EQ(h.CurrentPage(), "tsSense");
    QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(h.CurrentPage(), "tsVelmo");
    EXPECT_EQ(h.Note(), "");  // About's own note: it did come into view
}

TEST(MainWindowKeys, ThreeDigitPortsReadInFullInTheOpenListAndNoWider) {
    ConsoleHarness h;
    h.ports.entries = {{3, true, "/dev/fake3", ""}, {255, true, "/dev/fake255", ""}};
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
    ASSERT_EQ(last.data().toString(), "COM255");
    const int needed = list->fontMetrics().horizontalAdvance(QStringLiteral("COM255"));
    EXPECT_GT(list->visualRect(last).width(), needed + 4);
    // No wider than the widest item as the list lays it out, in its frames.
    const int widest = std::max(list->sizeHintForColumn(0), combo->width());
    EXPECT_LE(list->width(), widest + 2 * list->frameWidth());
    EXPECT_LE(combo->width(), 65);  // the box itself keeps its place
    combo->hidePopup();
}

}  // namespace
}  // namespace quillane::test
