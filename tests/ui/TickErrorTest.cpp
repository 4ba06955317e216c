// An error inside a tick is shown and stops polling until a port that opens
// is chosen; the keyboard reaches only the port selector while unlinked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

TEST(TickError, IsShownAndStopsPollingUntilAPortOpens) {
    ConsoleHarness h;
    auto* timer = h.Window().findChild<QTimer*>("Timer");
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    ASSERT_TRUE(timer->isActive());
    QString shown;
    QTimer::singleShot(0, &h.Window(), [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    h.link.throwOnRead = true;

    h.Tick();

    EXPECT_EQ(shown, "line fault");
    EXPECT_FALSE(timer->isActive());
    h.link.throwOnRead = false;
    emit combo->activated(combo->currentIndex());
    EXPECT_TRUE(timer->isActive());
}

TEST(PortSelector, TooltipSaysWhyTheChosenPortDidNotOpenUntilOneOpens) {
    ConsoleHarness h;
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    EXPECT_EQ(combo->toolTip(), "/dev/fake7");
    h.link.opensOk = false;
    h.link.lastError = "in use by minicom (pid 4242)";
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(h.Note(), "Cannot open selected COM port !!!");
    EXPECT_EQ(combo->toolTip(), "COM7: in use by minicom (pid 4242)");
    h.link.opensOk = true;
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(combo->toolTip(), "/dev/fake7");
}

TEST(Keyboard, TabStaysOnThePortSelectorWhileNoDetectorIsLinked) {
    ConsoleHarness h;
    auto* combo = h.Window().findChild<QComboBox*>("cbComPort");
    ASSERT_EQ(QApplication::focusWidget(), combo);
    h.Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), combo);
    h.Press(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), combo);
}

}  // namespace
}  // namespace quillane::test
