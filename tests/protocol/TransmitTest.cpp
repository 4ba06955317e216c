#include <gtest/gtest.h>

#include "CoreFixture.h"

namespace quillane::test {
namespace {

using Texts = std::vector<std::string>;

class TransmitTest : public CoreFixture {
protected:
    // The command code of each frame written, in order.
    std::string Codes() const {
        std::string out;
        for (const Bytes& w : link.writes) out += static_cast<char>('0' + ((w[0] >> 5) & 3));
        return out;
    }
    void Sends(int n) {
        for (int i = 0; i < n; ++i) core.Send();
    }
};

TEST_F(TransmitTest, NothingQueuedSendsAndLogsNothing) {
    Sends(3);
    EXPECT_TRUE(link.writes.empty());
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(core.iSendRepeatCounter(), 7);
    EXPECT_FALSE(core.bCmdPending());
}

TEST_F(TransmitTest, SevenSendsThenSilence) {
    core.QueueCmd0(5, 10, 1);
    EXPECT_TRUE(link.writes.empty());  // nothing goes out at once
    Sends(8);
    ASSERT_EQ(link.writes.size(), 7u);
    for (const Bytes& w : link.writes) EXPECT_EQ(w, (Bytes{0x05, 0xAA, 0x05, 0xAA}));
    EXPECT_FALSE(core.bCmdPending());
    EXPECT_EQ(core.iSendRepeatCounter(), 7);
    const Texts lines = Log();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Out:[05 AA 05 AA] send:4 bytes code:0 adr:5 senspp:10 state:1");
}

TEST_F(TransmitTest, QueuedBackwardsStillGoOutInPriorityOrder) {
    core.QueueCmd2(1, 3, 20, 2);
    core.QueueCmd1(3, 7, 2);
    core.QueueCmd0(5, 10, 1);
    Sends(22);
    ASSERT_EQ(Codes(), "000000011111112222222");
    EXPECT_EQ(link.writes[7], (Bytes{0x23, 0xC7, 0x23, 0xC7}));
    EXPECT_EQ(link.writes[20], (Bytes{0x4D, 0xD4, 0x4D, 0xD4}));
}

TEST_F(TransmitTest, HigherPriorityTakesOverTheRestOfTheRun) {
    core.QueueCmd2(1, 3, 20, 2);
    Sends(3);
    core.QueueCmd0(5, 10, 1);
    Sends(15);
    EXPECT_EQ(Codes(), "22200002222222");
    EXPECT_FALSE(core.bCmdPending());
}

TEST_F(TransmitTest, ClosedPortStillUsesUpTheSends) {
    link.open = false;
    core.QueueCmd1(3, 7, 2);
    Sends(8);
    EXPECT_TRUE(link.writes.empty());
    EXPECT_FALSE(core.bCmdPending());
    const Texts lines = Log();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[6], "Out:[23 C7 23 C7] send:0 bytes code:1 sensmp:3 sensbp:7 letter:2");
}

TEST_F(TransmitTest, RequeueReplacesThePendingWordWithoutRestarting) {
    core.QueueCmd0(5, 10, 1);
    Sends(2);
    core.QueueCmd0(5, 10, 0);
    Sends(8);
    ASSERT_EQ(link.writes.size(), 7u);
    EXPECT_EQ(link.writes[1], (Bytes{0x05, 0xAA, 0x05, 0xAA}));
    EXPECT_EQ(link.writes[2], (Bytes{0x05, 0x8A, 0x05, 0x8A}));
    EXPECT_EQ(link.writes[6], (Bytes{0x05, 0x8A, 0x05, 0x8A}));
}

TEST_F(TransmitTest, CalibrationModeUsesStoredAddressAndSensitivity) {
    Pass(Frames({0xC95A, 0x6A0C}));  // adr 9, senspp 10
    core.StartCalibrationMode();
    Sends(7);
    core.StopCalibrationMode();
    Sends(7);
    ASSERT_EQ(link.writes.size(), 14u);
    EXPECT_EQ(link.writes[0], (Bytes{0x09, 0xAA, 0x09, 0xAA}));
    EXPECT_EQ(link.writes[7], (Bytes{0x09, 0x8A, 0x09, 0x8A}));
}

TEST_F(TransmitTest, DetectorInSetupMethodThreeGetsItsZoneDefaults) {
    core.SetDistSens([](int zone) { return zone / 2 + 1; });
    Pass(FullSet());  // zone 20, regul 3
    ASSERT_EQ(view.Count("OnDetectorFound"), 1);
    Sends(21);
    ASSERT_EQ(Codes(), "000000011111112222222");
    EXPECT_EQ(link.writes[0], (Bytes{0x09, 0x8B, 0x09, 0x8B}));
    EXPECT_EQ(link.writes[7], (Bytes{0x2B, 0xAB, 0x2B, 0xAB}));
    EXPECT_EQ(link.writes[14], (Bytes{0x4D, 0xD4, 0x4D, 0xD4}));
}

TEST_F(TransmitTest, OtherSetupMethodsQueueNothingOnDetection) {
    for (frame::Word zone : {0x8E14, 0x8E34, 0x8E54}) {  // regul 0, 1, 2
        ConsoleCore fresh(link, ports, clock, log, view);
        link.Script(Frames({0x41F4, 0x6A0C, zone, 0xA00D, 0xC95A, 0xE320}));
        fresh.Recv();
        EXPECT_EQ(fresh.eDeviceState(), EDevDetect);
        EXPECT_FALSE(fresh.bCmdPending()) << std::hex << zone;
    }
}

}  // namespace
}  // namespace quillane::test
