// An error inside a tick is shown and stops polling until a port that opens
// is chosen; the keyboard reaches only the port selector while unlinked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "ui/TfmMain.h"

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
