// The console's window with its real serial port, port list and clock against
// the virtual detector program on a pseudo-terminal. The exchange log and the
// detector's own output witness what crossed the line.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <ostream>

#include "DetectorSandbox.h"
#include "LabelText.h"
#include "console/ConsoleCore.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"
#include "os/SystemClock.h"
#include "ui/window/TfmMain.h"

// Readable texts in failure messages (found by argument lookup).
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quillane::test {
namespace {

const QString kDetectTrace = QStringLiteral(
    "eDeviceState = EDevDetect >void TfmMain::Recv()|if( "
    "iInpPacketsCodeCounter>=(2+3+4+5+6+7)) {|if(eDeviceState == EDevNone) {");
const QString kTimeOutTrace = QStringLiteral(
    "eDeviceState = EDevNone >void TfmMain::Recv()|if(dblPeriod>1./24/60/60*3 && "
    "eDeviceState>EDevNone) {");
const QString kDeviceGoneTrace =
    QStringLiteral("eDeviceState = EDevNone >device gone, reconnecting to COM203");
const QString kPortTrace = QStringLiteral(
    "eDeviceState = EDevNone >void __fastcall TfmMain::cbComPortChange(TObject *Sender)");

// The detector every case starts from: model 2 (the one that shows its
// address), version 3, unit letter F2, address 9, 100 m zone, 12 V.
QStringList Identity() {
    return {"--model",   "2", "--version", "3",  "--letter", "F2",
            "--address", "9", "--dist",    "11", "--power",  "12"};
}

// The console as the program builds it, on the machine's own line and clocks;
// only the device families are looked up in the sandbox's empty folder.
struct Console {
    explicit Console(const DetectorSandbox& detector) : ports(detector.DeviceRoot()) {
        window.show();
    }
    QString Text(const char* name) const { return LabelText(window, name); }
    QString Note() const { return window.findChild<QTextEdit*>("memoNote")->toPlainText(); }
    bool ShowsDetector() { return window.Core().Linked() && Text("lModel") == "Korvel-TS"; }

    SerialPort port;
    SystemPortDirectory ports;
    SystemClock clock;
    TfmMain window{port, ports, clock};
};

void ExpectInfoPanelFilled(const Console& c) {
    EXPECT_EQ(c.Text("lModel"), "Korvel-TS");
    EXPECT_EQ(c.Text("lProg"), "3");
    EXPECT_EQ(c.Text("lLetter"), "F2");
    EXPECT_EQ(c.Text("lAddress"), "9");
    EXPECT_EQ(c.Text("lDist"), "100  m");
    EXPECT_EQ(c.Text("lPower"), "12.0  V");
    EXPECT_EQ(c.Text("lState"), "Normal");
    for (const char* name : {"lAver", "lSens", "lRegul", "lSpeed"})
        EXPECT_NE(c.Text(name), "---") << name;
}

// The command codes of the log's "Out:" lines, in the order they were sent.
QString SentCodes(const DetectorSandbox& d) {
    static const QRegularExpression code(QStringLiteral(" bytes code:(\\d)"));
    QString codes;
    for (const QString& line : d.LogLines(QStringLiteral("Out:")))
        codes += code.match(line).captured(1);
    return codes;
}

TEST(ConsoleAgainstDetector, FindsTheDetectorOnItsOwnAndFillsTheInfoPanel) {
    DetectorSandbox detector(201, Identity());
    ASSERT_TRUE(detector.Started()) << detector.Output().toStdString();
    {
        Console console(detector);
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        EXPECT_EQ(console.window.findChild<QComboBox*>("cbComPort")->currentText(), "COM201");
        ExpectInfoPanelFilled(console);
        EXPECT_EQ(console.Note(), "Select 'Calibration' or 'Setup' mode");

        EXPECT_EQ(detector.LogLines(kPortTrace).size(), 1);
        EXPECT_EQ(detector.LogLines(kDetectTrace).size(), 1);
        EXPECT_FALSE(
            detector.LogLines(QStringLiteral("chsum:Ok code:6 dev:2 prog:3 letter:1 adr:9"))
                .isEmpty());
        // Setup method 2 needs nothing from the console.
        EXPECT_TRUE(detector.LogLines(QStringLiteral("Out:")).isEmpty());
    }
    EXPECT_TRUE(detector.StopCleanly()) << detector.Output().toStdString();
}

TEST(ConsoleAgainstDetector, SetupMethod3GetsTheAutomaticDefaultsInOrder) {
    DetectorSandbox detector(202, Identity() + QStringList{"--regul", "3", "-v"});
    ASSERT_TRUE(detector.Started()) << detector.Output().toStdString();
    {
        Console console(detector);
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        // The detector reports the method the defaults set (2) once it took
        // them, which it does on the first of the seven frames of a word.
        ASSERT_TRUE(WaitFor([&] {
            return SentCodes(detector).size() >= 21 &&
                   !detector.LogLines(QStringLiteral("chsum:Ok code:4 dist:11 regul:2"))
                        .isEmpty() &&
                   detector.Output().count(QStringLiteral("cmd ")) >= 21;
        })) << SentCodes(detector).toStdString()
            << detector.Output().toStdString();
    }
    EXPECT_TRUE(detector.StopCleanly());

    // Each code seven times, in the fixed order, every frame fully accepted.
    EXPECT_EQ(SentCodes(detector), "000000011111112222222");
    const QStringList out = detector.LogLines(QStringLiteral("Out:"));
    ASSERT_EQ(out.size(), 21);
    static const QRegularExpression senspp(QStringLiteral("code:0 adr:9 senspp:(\\d+) state:0$"));
    const QRegularExpressionMatch first = senspp.match(out[0]);
    ASSERT_TRUE(first.hasMatch()) << out[0].toStdString();
    const QString s = first.captured(1);
    const QStringList expected = {
        "code:0 adr:9 senspp:" + s + " state:0",
        "code:1 sensmp:" + s + " sensbp:" + s + " letter:1",
        "code:2 min_spd:0 max_spd:1 dist:11 reg:2",
    };
    for (int i = 0; i < out.size(); ++i) {
        EXPECT_TRUE(out[i].contains(" send:4 bytes ")) << out[i].toStdString();
        EXPECT_TRUE(out[i].endsWith(expected[i / 7])) << out[i].toStdString();
    }
    // The detector decoded what the log says went out: one word per frame.
    const QStringList received = detector.Output().split('\n').filter(QStringLiteral("cmd "));
    ASSERT_EQ(received.size(), 21) << detector.Output().toStdString();
    for (int i = 0; i < received.size(); ++i) EXPECT_EQ(received[i], "cmd " + expected[i / 7]);
}

TEST(ConsoleAgainstDetector, RelinksByItselfAfterAHangUpWithNoKeyPressed) {
    DetectorSandbox detector(203, Identity());
    ASSERT_TRUE(detector.Started()) << detector.Output().toStdString();
    {
        Console console(detector);
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        // Dropped only once the console holds the line, however slow its start.
        // The second port line is the hang-up: a fresh device behind the alias.
        detector.HangUp();
        QElapsedTimer sinceHangUp;
        sinceHangUp.start();
        ASSERT_TRUE(WaitFor([&] { return !detector.LogLines(kDeviceGoneTrace).isEmpty(); }));
        ASSERT_TRUE(WaitFor([&] { return detector.LogLines(kDetectTrace).size() == 2; }));
        RecordProperty("relinked_ms", static_cast<int>(sinceHangUp.elapsed()));
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        ExpectInfoPanelFilled(console);
        EXPECT_EQ(detector.Output().count(QStringLiteral("port COM203")), 2);
        // Nobody chose the port, and the silence never grew to a time-out.
        EXPECT_EQ(detector.LogLines(kPortTrace).size(), 1);
        EXPECT_EQ(detector.LogLines(kDeviceGoneTrace).size(), 1);
        EXPECT_TRUE(detector.LogLines(kTimeOutTrace).isEmpty());

        // The user's own choice still goes as ever: open the list (which lists
        // and probes the ports), pick COM203.
        auto* combo = console.window.findChild<QComboBox*>("cbComPort");
        combo->showPopup();
        const int item = combo->findText(QStringLiteral("COM203"));
        ASSERT_GE(item, 0);
        combo->view()->setCurrentIndex(combo->model()->index(item, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        EXPECT_EQ(detector.LogLines(kPortTrace).size(), 2);
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        EXPECT_EQ(detector.LogLines(kDetectTrace).size(), 3);
    }
    EXPECT_TRUE(detector.StopCleanly()) << detector.Output().toStdString();
}

TEST(ConsoleAgainstDetector, GarbageOnTheLineStillLetsGoodFramesThrough) {
    DetectorSandbox detector(204, Identity() + QStringList{"--scenario", "garbage",
                                                           "--garbage-rate", "0.2", "--seed", "7"});
    ASSERT_TRUE(detector.Started()) << detector.Output().toStdString();
    {
        Console console(detector);
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        ExpectInfoPanelFilled(console);
        // Good frames keep being decoded after bad ones, and the bad ones
        // never cost the link.
        ASSERT_TRUE(WaitFor([&] {
            const QString log = detector.Log();
            const int firstBad = log.indexOf(QStringLiteral("chsum:!!!Err!!!"));
            return firstBad >= 0 && log.indexOf(QStringLiteral("chsum:Ok code:6"), firstBad) >= 0;
        })) << detector.Log().right(2000).toStdString();
        EXPECT_TRUE(console.window.Core().Linked());
        EXPECT_TRUE(detector.LogLines(kTimeOutTrace).isEmpty());
        EXPECT_EQ(detector.LogLines(kDetectTrace).size(), 1);
    }
    EXPECT_TRUE(detector.StopCleanly()) << detector.Output().toStdString();
}

// The installer's aiming loop: F2 puts the detector into calibration, the bar
// follows its sweep, and leaving the page takes it out again.
TEST(ConsoleAgainstDetector, CalibrationPageMovesTheBarAndLeavingStopsCalibration) {
    DetectorSandbox detector(205, Identity() + QStringList{"--rate", "1440", "-v"});
    ASSERT_TRUE(detector.Started()) << detector.Output().toStdString();
    {
        Console console(detector);
        ASSERT_TRUE(WaitFor([&] { return console.ShowsDetector(); }));
        console.window.actTuneUpSelectExecute();
        ASSERT_TRUE(WaitFor([&] { return console.Text("lState") == "Calibration"; }))
            << detector.Output().toStdString();
        QStringList seen;
        ASSERT_TRUE(WaitFor([&] {
            const QString now = console.Text("lSignal");
            if (seen.isEmpty() || seen.last() != now) seen << now;
            return seen.size() >= 4;  // the sweep moves it
        })) << seen.join(' ').toStdString();
        EXPECT_NE(console.Text("lTuneUpMax"), "0");
        EXPECT_EQ(console.Text("lAver"), "---");

        console.window.actSetupSelectExecute();
        ASSERT_TRUE(WaitFor([&] { return console.Text("lState") == "Normal"; }));
        ASSERT_TRUE(WaitFor([&] { return !console.window.Core().bCmdPending(); }));
    }
    EXPECT_TRUE(detector.StopCleanly());
    const QStringList received = detector.Output().split('\n').filter(QStringLiteral("cmd code:0"));
    ASSERT_GE(received.size(), 14);
    EXPECT_TRUE(received.first().endsWith("state:1")) << received.first().toStdString();
    EXPECT_TRUE(received.last().endsWith("state:0")) << received.last().toStdString();
}

}  // namespace
}  // namespace quillane::test
