// An error inside a tick is shown and stops polling until a port that opens
// is chosen; the keyboard reaches only the port selector while unlinked; the
// exchange log's held lines reach the disk before a dialog blocks the window,
// and by the window's one timer on a quiet line.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "ConsoleHarness.h"
#include "FileText.h"
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

bool LogOnDiskHas(const std::string& text) {
    return FileText("Quillane.log").find(text) != std::string::npos;
}

TEST(ExchangeLogWiring, HeldLinesReachTheDiskBeforeADialogBlocksTheWindow) {
    std::ofstream("Quillane.log").flush();  // logging on
    ConsoleHarness h;
    h.LinkUp();
    const std::string signal = "Inp:[00 21 2C 4D] chsum:Ok code:1 sig:300 pp:0 mp:0 bp:0";
    h.Receive({word::Signal(300)});
    ASSERT_FALSE(LogOnDiskHas(signal));
    // Nothing else writes them meanwhile.
    h.Window().findChild<QTimer*>("Timer")->stop();
    bool onDiskWhileOpen = false;
    QTimer::singleShot(0, &h.Window(), [&] {
        onDiskWhileOpen = LogOnDiskHas(signal);
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    h.Window().ShowError("Unable to write to Quillane.ini");
    EXPECT_TRUE(onDiskWhileOpen);
}

#ifndef _WIN32
// The clock stands still here, so no pass finds the lines due: the window's
// timer, planned for them, writes what a quiet line leaves held.
TEST(ExchangeLogWiring, TheWindowsTimerWritesWhatAQuietLineLeavesHeld) {
    std::ofstream("Quillane.log").flush();
    // A line that wakes the window when bytes come, and none come; closed
    // after the window let go of it.
    struct Pipe {
        Pipe() { ok = ::pipe(fds) == 0; }
        ~Pipe() {
            if (ok) ::close(fds[0]), ::close(fds[1]);
        }
        int fds[2] = {-1, -1};
        bool ok = false;
    } quiet;
    ASSERT_TRUE(quiet.ok);
    ConsoleHarness h;
    h.link.readable = quiet.fds[0];
    h.LinkUp();
    h.Receive({word::Signal(301)});
    EXPECT_FALSE(LogOnDiskHas("sig:301 pp:0 mp:0 bp:0"));
    EXPECT_TRUE(QTest::qWaitFor([] { return LogOnDiskHas("sig:301 pp:0 mp:0 bp:0"); }));
}
#endif

}  // namespace
}  // namespace quillane::test
