// F12 and the phone view's dialog: open without a link, sharing switched on
// and off there, Esc closing the dialog while sharing goes on, a port that
// is taken, and the window's close ending the sharing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "FakeClock.h"
#include "FakeLink.h"
#include "FakePortDirectory.h"
#include "remote/ViewServer.h"
#include "remote/ViewSocket.h"
#include "ui/widgets/QrCodeView.h"
#include "ui/window/RemoteViewDialog.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

// A port no one listens on now.
int FreePort() {
    ViewServer probe;
    std::string error;
    if (!probe.Start(0, error)) return 0;
    return probe.Port();
}

RemoteViewDialog* OpenDialog(ConsoleHarness& h) {
    h.Press(Qt::Key_F12);
    return h.Window().findChild<RemoteViewDialog*>("frmRemoteView");
}

void Share(RemoteViewDialog* dialog, int port) {
    dialog->findChild<QSpinBox*>("spePort")->setValue(port);
    dialog->findChild<QCheckBox*>("chbShare")->click();
}

TEST(RemoteViewKey, F12OpensTheDialogWithoutALinkAndSharingOutlivesIt) {
    ConsoleHarness h;
    EXPECT_EQ(h.Text("lRemoteView"), "off");
    RemoteViewDialog* dialog = OpenDialog(h);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Phone view <F12>");
    EXPECT_EQ(h.Window().RemoteView(), nullptr);

    const int port = FreePort();
    ASSERT_NE(port, 0);
    Share(dialog, port);
    ASSERT_NE(h.Window().RemoteView(), nullptr);
    EXPECT_EQ(h.Window().RemoteView()->Port(), port);
    EXPECT_EQ(h.Text("lRemoteView"), "on");
    // Every address of the machine's networks, the chosen one as the code.
    auto* list = dialog->findChild<QListWidget*>("lbAddresses");
    ASSERT_EQ(static_cast<std::size_t>(list->count()), viewsocket::LocalIpv4Addresses().size());
    if (list->count() > 0) {
        EXPECT_EQ(dialog->findChild<QrCodeView*>("imgAddress")->Text(), dialog->ChosenAddress());
        EXPECT_TRUE(dialog->ChosenAddress().endsWith(
            QString::fromStdString("/" + h.Window().RemoteView()->Token() + "/")));
    }

    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_NE(h.Window().RemoteView(), nullptr);

    // Open again: it shows the sharing as it stands, and switches it off.
    ASSERT_EQ(OpenDialog(h), dialog);
    EXPECT_TRUE(dialog->findChild<QCheckBox*>("chbShare")->isChecked());
    dialog->findChild<QCheckBox*>("chbShare")->click();
    EXPECT_EQ(h.Window().RemoteView(), nullptr);
    EXPECT_EQ(h.Text("lRemoteView"), "off");
    EXPECT_TRUE(dialog->findChild<QrCodeView*>("imgAddress")->Text().isEmpty());
}

TEST(RemoteViewKey, APortTakenLeavesSharingOffAndSaysWhy) {
    ConsoleHarness h;
    ViewServer other;
    std::string error;
    ASSERT_TRUE(other.Start(0, error));
    RemoteViewDialog* dialog = OpenDialog(h);
    ASSERT_NE(dialog, nullptr);
    Share(dialog, other.Port());
    EXPECT_EQ(h.Window().RemoteView(), nullptr);
    EXPECT_FALSE(dialog->findChild<QCheckBox*>("chbShare")->isChecked());
    EXPECT_TRUE(
        dialog->findChild<QLabel*>("lStatus")->text().contains(QString::number(other.Port())));
}

// The snapshots that wait and the once-a-second count of the phones are the
// planner's to wake for: sharing arms no timer beside the window's one.
TEST(RemoteViewKey, SharingWakesTheConsoleThroughTheWindowsOneTimer) {
    ConsoleHarness h;
    std::string error;
    ASSERT_TRUE(h.Window().StartRemoteView(0, error)) << error;
    h.LinkUp();
    QStringList armed;
    for (const QTimer* t : h.Window().findChildren<QTimer*>())
        if (t->isActive()) armed << t->objectName();
    EXPECT_EQ(armed, QStringList{"Timer"});
}

// Sharing asked for at start (the command line) comes before the first pass,
// which lists the ports and opens one: planning the phones' tick then must
// not take the timer from that pass.
TEST(RemoteViewKey, SharingFromTheStartLeavesTheFirstPassToOpenAPort) {
    FakeLink link;
    link.open = false;
    FakePortDirectory ports;
    ports.entries = {{7, true, "/dev/fake7", ""}};
    FakeClock clock;
    TfmMain window(link, ports, clock);
    std::string error;
    ASSERT_TRUE(window.StartRemoteView(0, error)) << error;
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.IsOpen(); }, 5000));
}

TEST(RemoteViewKey, ClosingTheWindowEndsTheSharing) {
    ConsoleHarness h;
    std::string error;
    ASSERT_TRUE(h.Window().StartRemoteView(0, error)) << error;
    h.Window().close();
    EXPECT_EQ(h.Window().RemoteView(), nullptr);
}

}  // namespace
}  // namespace quillane::test
