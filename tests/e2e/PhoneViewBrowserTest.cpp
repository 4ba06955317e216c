// The phone view in a real browser: the console on the virtual detector's
// walk test shares its view, headless chromium opens the address as a phone
// would, and what the page shows follows the window: the signal, each alarm
// the window counts, and the link lost when the line hangs up.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <cstdlib>

#include "DetectorSandbox.h"
#include "HeadlessBrowser.h"
#include "LabelText.h"
#include "console/ConsoleCore.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"
#include "os/SystemClock.h"
#include "remote/ViewServer.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

// The console as the program builds it, on the machine's own line and clocks.
struct Console {
    explicit Console(const DetectorSandbox& detector) : ports(detector.DeviceRoot()) {
        window.show();
    }
    std::string Count() const { return LabelText(window, "lTrvNumberSense").toStdString(); }

    SerialPort port;
    SystemPortDirectory ports;
    SystemClock clock;
    TfmMain window{port, ports, clock};
};

// A phone's screen, in CSS pixels.
constexpr int kPhoneWidth = 390;
constexpr int kPhoneHeight = 844;

TEST(PhoneView, ABrowserFollowsTheSignalEachAlarmCountedAndALostLink) {
    // Alarms every two seconds from the third on, the walk test's noise between.
    DetectorSandbox detector(
        211, {"--scenario", "walk", "--rate", "400", "--alarms",
              "3,5,7,9,11,13,15,17,19,21,23,25,27,29,31,33,35,37,39,41,43,45,47,49"});
    ASSERT_TRUE(detector.Started());
    Console console(detector);
    TfmMain& window = console.window;
    ASSERT_TRUE(
        WaitFor([&] { return window.Core().Linked() && window.ActivePage() == Page::Setup; }));
    QTest::keyClick(&window, Qt::Key_F6);
    ASSERT_TRUE(window.findChild<QCheckBox*>("chbSaveTrvSense")->isChecked());

    std::string error;
    ASSERT_TRUE(window.StartRemoteView(0, error)) << error;
    HeadlessBrowser phone(kPhoneWidth, kPhoneHeight);
    ASSERT_TRUE(phone.Started()) << phone.Problem();
    ASSERT_TRUE(phone.Open(window.RemoteView()->Address("127.0.0.1"))) << phone.Problem();

    ASSERT_TRUE(WaitFor([&] { return phone.Text("link") == "Linked"; })) << phone.Text("link");
    EXPECT_EQ(phone.Text("page"), "Setup");
    EXPECT_EQ(phone.Text("unit"), "mV");
    const std::string signal = phone.Text("signal");
    EXPECT_TRUE(WaitFor([&] { return phone.Text("signal") != signal; })) << signal;

    // Each alarm the window counts, the phone counts: twice more from here.
    ASSERT_TRUE(WaitFor([&] { return console.Count() != "0"; }, 30000));
    for (int more = 0; more < 2; ++more) {
        const std::string before = console.Count();
        ASSERT_TRUE(WaitFor([&] { return console.Count() != before; }, 30000));
        const std::string counted = console.Count();
        EXPECT_TRUE(WaitFor([&] { return phone.Text("count") == counted; }))
            << "window " << counted << ", phone " << phone.Text("count");
        EXPECT_NE(phone.Text("alarms").find("Setup  #" + counted), std::string::npos)
            << phone.Text("alarms");
    }
    if (const char* shots = std::getenv("QUILLANE_SHOTS")) {
        phone.Screenshot(std::string(shots) + "/phone-walk-test.png");
    }

    detector.HangUp();
    // Within a second of the hang-up, as the installer at the fence needs it.
    EXPECT_TRUE(WaitFor([&] { return phone.Text("link") == "link lost"; }, 1000))
        << phone.Text("link");
    if (const char* shots = std::getenv("QUILLANE_SHOTS")) {
        phone.Screenshot(std::string(shots) + "/phone-link-lost.png");
    }

    // Sharing off: the page loses its contact with the console.
    window.StopRemoteView();
    EXPECT_TRUE(WaitFor([&] { return phone.Text("link") == "No contact with the console"; }));
}

}  // namespace
}  // namespace quillane::test
