#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "console/line/PortProblem.h"
#include "model/MessageTexts.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane::test {
namespace {

using Texts = std::vector<std::string>;

PortEntry Entry(int number, bool available) {
    PortEntry e;
    e.number = number;
    e.available = available;
    e.device = "/dev/pts/" + std::to_string(number);
    return e;
}

class ConsoleCoreTest : public CoreFixture {
protected:
    ConsoleCoreTest() { ports.entries = {Entry(1, true), Entry(3, false), Entry(7, true)}; }
};

TEST_F(ConsoleCoreTest, DropDownListsOnlyAvailablePortsAndClosesTheOneInUse) {
    core.cbComPortDropDown();
    EXPECT_EQ(view.notes, Texts{note::kSelectPort});
    EXPECT_EQ(link.closeCount, 1);
    ASSERT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.items[0].number, 1);
    EXPECT_EQ(view.items[1].number, 7);
    EXPECT_EQ(view.SelectedPortText(), "COM7");
}

TEST_F(ConsoleCoreTest, DropDownKeepsAtMost255Ports) {
    ports.entries.clear();
    for (int n = 1; n <= 300; ++n) ports.entries.push_back(Entry(n, true));
    core.cbComPortDropDown();
    EXPECT_EQ(view.items.size(), 255u);
}

TEST_F(ConsoleCoreTest, PortChangeDropsTheLinkAndOpensTheChosenPort) {
    Pass(FullSet());
    view.selected = "COM12";
    EXPECT_TRUE(core.cbComPortChange());
    EXPECT_EQ(core.eDeviceState(), EDevNone);
    EXPECT_EQ(link.openedPorts, std::vector<int>{12});
    EXPECT_EQ(link.lastBaud, 57600);
    EXPECT_TRUE(core.bPortOpen());
    EXPECT_EQ(core.iPortNumber(), 12);
    EXPECT_EQ(view.LastNote(), note::kWaiting);
    EXPECT_EQ(view.Count("ResetDetectorView"), 1);
    EXPECT_EQ(core.Model().Word(4), DetectorModel::kResetWord);
    const auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), logformat::kTracePortChange);
}

TEST_F(ConsoleCoreTest, PortTextThatIsNoNumberOpensPortZero) {
    link.opensOk = false;
    for (const char* text : {"", "COM", "COMx", "COM1x", "COM99999999999999"}) {
        view.selected = text;
        EXPECT_FALSE(core.cbComPortChange()) << text;
        EXPECT_EQ(core.iPortNumber(), 0) << text;
        EXPECT_EQ(view.LastNote(), note::kCannotOpen);
    }
}

TEST_F(ConsoleCoreTest, PortThatDoesNotOpenTellsTheSelectorWhy) {
    ports.entries[1].reason = "in use by minicom (pid 4242)";
    link.opensOk = false;
    link.lastError = "in use by agetty (pid 612)";
    EXPECT_FALSE(core.TimerTimer());
    EXPECT_EQ(view.LastNote(), note::kCannotOpen);
    EXPECT_EQ(view.portProblem, "COM7: in use by agetty (pid 612)");
    // Nothing to choose: the ports left out say why.
    ports.entries = {Entry(3, false)};
    ports.entries[0].reason = "in use by minicom (pid 4242)";
    core.cbComPortDropDown();
    EXPECT_FALSE(core.cbComPortChange());
    const std::string noFreePort =
        "No free serial port:\nCOM3 (/dev/pts/3): in use by minicom (pid 4242)";
    EXPECT_EQ(view.portProblem, noFreePort);
    core.cbComPortDropDown();  // the empty list opened again
    EXPECT_EQ(view.portProblem, noFreePort);
    ports.entries = {Entry(1, true)};
    link.opensOk = true;
    core.cbComPortDropDown();
    EXPECT_TRUE(core.cbComPortChange());
    EXPECT_EQ(view.portProblem, "");
}

TEST(PortProblem, SaysWhyInTheInstallersWords) {
    std::vector<PortEntry> many;
    for (int n = 1; n <= 10; ++n) many.push_back(Entry(n, false));
    const std::string eight =
        "No free serial port:\nCOM1 (/dev/pts/1): does not open\nCOM2 (/dev/pts/2): does not "
        "open\nCOM3 (/dev/pts/3): does not open\nCOM4 (/dev/pts/4): does not open\nCOM5 "
        "(/dev/pts/5): does not open\nCOM6 (/dev/pts/6): does not open\nCOM7 (/dev/pts/7): "
        "does not open\nCOM8 (/dev/pts/8): does not open\nand 2 more";
    const struct {
        std::string item, reason;
        std::vector<PortEntry> leftOut;
        std::string text;
    } cases[] = {
        {"COM5", "Permission denied: x", {}, "COM5: Permission denied: x"},
        {"COM5", "", many, "COM5: does not open"},
        {"", "COM0 maps to no device", {}, "No serial port found"},
        {"", "", many, eight},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortProblemText(c.item, c.reason, c.leftOut), c.text) << c.item << c.reason;
    }
}

TEST_F(ConsoleCoreTest, FirstTickOpensTheLastAvailablePort) {
    EXPECT_TRUE(core.TimerTimer());
    EXPECT_EQ(ports.enumerations, 1);
    EXPECT_EQ(link.openedPorts, std::vector<int>{7});
    // Later ticks poll: a full set arriving now is seen.
    link.Script(FullSet());
    EXPECT_TRUE(core.TimerTimer());
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
    EXPECT_EQ(ports.enumerations, 1);
}

TEST_F(ConsoleCoreTest, FirstTickStopsPollingWhenThePortDoesNotOpen) {
    link.opensOk = false;
    EXPECT_FALSE(core.TimerTimer());
    EXPECT_EQ(view.LastNote(), note::kCannotOpen);
    ports.entries.clear();           // no port at all: port 0, which fails the same way
    EXPECT_TRUE(core.TimerTimer());  // no second first tick
    EXPECT_EQ(ports.enumerations, 1);
}

TEST_F(ConsoleCoreTest, ErrorInATickStopsPollingUntilAPortOpens) {
    core.TimerTimer();
    view.throwOnSignal = true;
    link.Script(Frames({0x2100}));
    EXPECT_FALSE(core.TimerTimer());
    EXPECT_EQ(view.errors, Texts{"signal chart failed"});
    view.throwOnSignal = false;
    view.selected = "COM1";
    EXPECT_TRUE(core.cbComPortChange());
    link.Script(FullSet());
    EXPECT_TRUE(core.TimerTimer());
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
}

TEST_F(ConsoleCoreTest, ErrorOfAnotherKindShowsAnEmptyMessage) {
    struct Broken : FakeLink {
        int Read(std::uint8_t*, int) override { throw 42; }
    } broken;
    ConsoleCore c(broken, ports, clock, log, view);
    c.TimerTimer();
    EXPECT_FALSE(c.TimerTimer());
    EXPECT_EQ(view.errors, Texts{""});
}

TEST_F(ConsoleCoreTest, PortChangeKeepsPendingCommandsAndCounters) {
    core.QueueCmd2(1, 3, 20, 2);
    core.Send();
    view.selected = "COM7";
    core.cbComPortChange();
    EXPECT_TRUE(core.bCmdPending());
    EXPECT_EQ(core.iSendRepeatCounter(), 6);
}

TEST_F(ConsoleCoreTest, OverwritingTheStoredSignalKeepsItsFlagsAndCode) {
    Pass(Frames({0x2FFF}));  // signal 1023 with the PL and LL flags
    core.OverwriteStoredSig(0x1F4);
    EXPECT_EQ(core.Model().Word(1), 0x2DF4);
    core.OverwriteStoredSig(0x7FF);  // cut to the field
    EXPECT_EQ(core.Model().Word(1), 0x2FFF);
    EXPECT_EQ(core.Model().Previous(1), 0x0101);  // only the stored word
}

TEST_F(ConsoleCoreTest, ShutdownWaitEndsWhenTheCommandWentOut) {
    core.TimerTimer();
    int ticks = 0;
    const double start = clock.mono;
    EXPECT_TRUE(core.StopCalibrationAndWait([&] {
        ++ticks;
        core.TimerTimer();
    }));
    EXPECT_EQ(ticks, 7);
    EXPECT_EQ(link.writes.size(), 7u);
    EXPECT_LT(clock.mono - start, 0.01);
}

TEST_F(ConsoleCoreTest, ShutdownWaitGivesUpAfterTenSeconds) {
    const double start = clock.mono;
    int calls = 0;
    EXPECT_FALSE(core.StopCalibrationAndWait([&] { ++calls; }));  // timer stopped
    EXPECT_NEAR(clock.mono - start, 10.0, 0.002);
    EXPECT_GE(calls, 9999);
    EXPECT_TRUE(core.bCmdPending());
}

// What a crash may lose stays small: the log's lines reach the file at the
// end of the first pass a tenth of a second after the oldest of them, which
// the planner is told, and at once when the link comes up or goes, or a pass
// fails.
TEST_F(ConsoleCoreTest, TheLogsLinesReachTheFileSoonAndAtOnceWhenTheLinkChanges) {
    const auto onDisk = [&] { return LogTexts(logPath); };
    const auto last = [&] { return onDisk().empty() ? std::string() : onDisk().back(); };
    const auto inp = [](frame::Word w) {
        LogLine line;
        logformat::InpText(line, frame::IncomingFrame(w).data());
        return std::string(line.View());
    };
    const auto pass = [&](const Bytes& bytes) {
        link.Script(bytes);
        core.TimerTimer();
    };
    core.TimerTimer();  // opens COM7
    EXPECT_EQ(last(), logformat::kTracePortChange);
    pass(Frames(LinkUpSet().Words()));
    EXPECT_EQ(last(), logformat::kTraceDetect);
    EXPECT_EQ(core.Facts(true, clock.mono).logIn, std::nullopt);

    pass(Frames({word::Signal(300)}));
    EXPECT_EQ(last(), logformat::kTraceDetect);
    ASSERT_TRUE(core.Facts(true, clock.mono).logIn);
    EXPECT_NEAR(*core.Facts(true, clock.mono).logIn, ExchangeLog::kHoldSeconds, 1e-9);
    clock.Advance(0.05);
    pass(Frames({word::Signal(301)}));
    EXPECT_EQ(last(), logformat::kTraceDetect);
    clock.Advance(0.06);
    pass(Frames({word::Signal(302)}));
    EXPECT_EQ(last(), inp(word::Signal(302)));

    pass(Frames({word::Signal(303)}));
    clock.Advance(3.1);
    core.TimerTimer();  // the link times out
    const Texts lines = onDisk();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], inp(word::Signal(303)));
    EXPECT_EQ(lines[lines.size() - 2], logformat::kTraceTimeout);

    pass(Frames(LinkUpSet().Words()));  // found again
    pass(Frames({word::Signal(304)}));
    EXPECT_EQ(last(), logformat::kTraceDetect);
    link.throwOnRead = true;
    EXPECT_FALSE(core.TimerTimer());
    const Texts failed = onDisk();
    EXPECT_EQ(Texts(failed.end() - 2, failed.end()),
              (Texts{inp(word::Signal(304)), logformat::kTraceWork}));
}

}  // namespace
}  // namespace quillane::test
