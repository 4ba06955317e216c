// The phone view's wiring in the window: F12 and its dialog, sharing switched
// on and off there, the window's one timer, its first pass and its close.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <memory>

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

RemoteViewDialog* OpenDialog(ConsoleHarness& h) {
    h.Press(Qt::Key_F12);
    return h.Window().findChild<RemoteViewDialog*>("frmRemoteView");
}

TEST(RemoteViewKey, F12OpensTheDialogWithoutALinkAndSharingOutlivesIt) {
    ConsoleHarness h;
    EXPECT_EQ(h.Text("lRemoteView"), "off");
    RemoteViewDialog* dialog = OpenDialog(h);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Phone view <F12>");
    auto* share = dialog->findChild<QCheckBox*>("chbShare");
    auto* port = dialog->findChild<QSpinBox*>("spePort");

    // A port that is taken leaves sharing off and says why.
    auto other = std::make_unique<ViewServer>();
    std::string error;
    ASSERT_TRUE(other->Start(0, error));
    const int taken = other->Port();
    port->setValue(taken);
    share->click();
    EXPECT_EQ(h.Window().RemoteView(), nullptr);
    EXPECT_FALSE(share->isChecked());
    EXPECT_TRUE(dialog->findChild<QLabel*>("lStatus")->text().contains(QString::number(taken)));

    other.reset();  // the port is free now
    share->click();
    ASSERT_NE(h.Window().RemoteView(), nullptr);
    EXPECT_EQ(h.Window().RemoteView()->Port(), taken);
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

    // The snapshots that wait and the once-a-second count of the phones are
    // the planner's to wake for: sharing arms no timer beside the window's one.
    h.LinkUp();
    QStringList armed;
    for (const QTimer* t : h.Window().findChildren<QTimer*>())
        if (t->isActive()) armed << t->objectName();
    EXPECT_EQ(armed, QStringList{"Timer"});

    // Open again: it shows the sharing as it stands, and switches it off.
    ASSERT_EQ(OpenDialog(h), dialog);
    EXPECT_TRUE(share->isChecked());
    share->click();
    EXPECT_EQ(h.Window().RemoteView(), nullptr);
    EXPECT_EQ(h.Text("lRemoteView"), "off");
    EXPECT_TRUE(dialog->findChild<QrCodeView*>("imgAddress")->Text().isEmpty());

    // The window's close ends a sharing that is on.
    share->click();
    ASSERT_NE(h.Window().RemoteView(), nullptr);
    h.Window().close();
    EXPECT_EQ(h.Window().RemoteView(), nullptr);
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

}  // namespace
}  // namespace quillane::test
