#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "protocol/LogFormat.h"

namespace quillane::test {
namespace {

using Texts = std::vector<std::string>;

class ReceiverTest : public CoreFixture {
protected:
    // Brings the link up with a full set, then clears the records.
    void Detect() {
        Pass(FullSet());
        ASSERT_EQ(core.eDeviceState(), EDevDetect);
        view.calls.clear();
    }
    Texts Traces() {
        Texts out;
        for (const auto& t : Log())
            if (t.rfind("Inp:", 0) != 0 && t.rfind("Out:", 0) != 0) out.push_back(t);
        return out;
    }
};

TEST_F(ReceiverTest, TwoFramesInOneRead) {
    Pass({0x00, 0x2F, 0xFF, 0x2E, 0x00, 0xC9, 0x5A, 0x23});
    EXPECT_EQ(core.Model().Word(1), 0x2FFF);
    EXPECT_EQ(core.Model().Word(6), 0xC95A);
    EXPECT_EQ(view.calls, (Texts{"ShowSignal", "ShowIdentity"}));
    EXPECT_EQ(Log(), (Texts{"Inp:[00 2F FF 2E] chsum:Ok code:1 sig:1023 pp:1 mp:1 bp:0",
                            "Inp:[00 C9 5A 23] chsum:Ok code:6 dev:2 prog:3 letter:1 adr:9"}));
}

TEST_F(ReceiverTest, LeadingGarbageIsSkipped) {
    Pass({0x55, 0xAA, 0x00, 0x2F, 0xFF, 0x2E});
    EXPECT_EQ(core.Model().Word(1), 0x2FFF);
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(ReceiverTest, BadChecksumChangesOnlyThePacketTime) {
    Detect();
    clock.Advance(2.5);
    Pass({0x00, 0x2F, 0xFF, 0x2F});
    EXPECT_EQ(core.Model().Word(1), DetectorModel::kResetWord);
    EXPECT_EQ(core.iInpPacketsCodeCounter(), 0);
    EXPECT_TRUE(view.calls.empty());
    const Texts log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Inp:[00 2F FF 2F] chsum:!!!Err!!! code:1 ");
    // The bad frame was a sign of life: 2.5 s more keeps the link.
    clock.Advance(2.5);
    core.Recv();
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
}

TEST_F(ReceiverTest, FullSetDetectsOnceAndThenReportsAllPackets) {
    Pass(FullSet());
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
    EXPECT_EQ(view.Count("OnDetectorFound"), 1);
    Pass(FullSet());
    EXPECT_EQ(core.eDeviceState(), EDevAllPakets);
    Pass(FullSet());
    EXPECT_EQ(view.Count("OnDetectorFound"), 1);
    EXPECT_EQ(Traces(), (Texts{logformat::kTraceDetect, logformat::kTraceAllPakets,
                               logformat::kTraceAllPakets}));
}

TEST_F(ReceiverTest, SignalWordInsideTheRunPreventsDetection) {
    Pass(Frames({0x41F4, 0x6A0C, 0x8E74, 0x2100, 0xA00D, 0xC95A, 0xE320}));
    EXPECT_EQ(core.eDeviceState(), EDevNone);  // 1 + 5 + 6 + 7 = 19
    EXPECT_EQ(view.Count("OnDetectorFound"), 0);
    EXPECT_EQ(core.iInpPacketsCodeCounter(), 0);
}

TEST_F(ReceiverTest, FourSpeedWordsAndPowerAlsoMakeAFullSet) {
    Pass(Frames({0xA00D, 0xA00D, 0xA00D, 0xA00D, 0xE320}));
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
}

TEST_F(ReceiverTest, SignalWordsGiveWorkWithOneTrace) {
    Pass(Frames({0x2100}));  // unlinked: no state change
    EXPECT_EQ(core.eDeviceState(), EDevNone);
    Detect();
    Pass(Frames({0x2101, 0x2102, 0x2103}));
    EXPECT_EQ(core.eDeviceState(), EDevWork);
    Pass(FullSet());
    Pass(Frames({0x2104}));
    EXPECT_EQ(Traces(), (Texts{logformat::kTraceDetect, logformat::kTraceWork,
                               logformat::kTraceAllPakets, logformat::kTraceWork}));
}

TEST_F(ReceiverTest, SilenceOverThreeSecondsDropsTheLinkOnce) {
    Detect();
    clock.Advance(3.0);  // exactly 3 s is still alive
    core.Recv();
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
    clock.Advance(0.001);
    core.Recv();
    clock.Advance(10);
    core.Recv();
    EXPECT_EQ(core.eDeviceState(), EDevNone);
    EXPECT_EQ(view.Count("ResetDetectorView"), 1);
    EXPECT_EQ(core.Model().Word(6), DetectorModel::kResetWord);
    const Texts traces = Traces();
    ASSERT_EQ(traces.size(), 3u);
    EXPECT_EQ(traces[1], logformat::kTraceTimeout);
    EXPECT_EQ(traces[2], "Now()=20:33.457 PacketTime=20:30.456 period=00:03.001 const=00:03.000");
}

TEST_F(ReceiverTest, WallClockChangesNeitherKeepNorDropTheLink) {
    Detect();
    clock.local -= 1.0 / 24;  // set back an hour
    clock.mono += 3.5;
    core.Recv();
    EXPECT_EQ(core.eDeviceState(), EDevNone);

    Detect();
    clock.local += 2.0 / 24;  // set forward two hours
    clock.mono += 0.5;
    core.Recv();
    EXPECT_EQ(core.eDeviceState(), EDevDetect);
}

TEST_F(ReceiverTest, FluctuationFilterHoldsAfterAJump) {
    core.SetMaxTenPercent(0);
    Pass(Frames({0x2000 | 100, 0x2000 | 200}));  // previous 100, current 200
    ASSERT_EQ(frame::Sig(core.Model().Previous(1)), 100u);
    core.SetMaxTenPercent(2);
    view.calls.clear();
    Pass(Frames({0x2000 | 300}));
    EXPECT_EQ(core.iTenPercentCounter(), 1);
    Pass(Frames({0x2000 | 300}));
    EXPECT_EQ(core.iTenPercentCounter(), 2);
    EXPECT_EQ(frame::Sig(core.Model().Word(1)), 200u);
    Pass(Frames({0x2000 | 300}));
    EXPECT_EQ(core.iTenPercentCounter(), 0);
    EXPECT_EQ(frame::Sig(core.Model().Word(1)), 300u);
    EXPECT_EQ(frame::Sig(core.Model().Previous(1)), 200u);
    EXPECT_EQ(view.calls, Texts{"ShowSignal"});
}

// A jump counts when it is more than a tenth of the signal before it.
TEST_F(ReceiverTest, FluctuationFilterCountsJumpsOfMoreThanATenth) {
    const struct {
        unsigned previous, current;
        int counted;
    } cases[] = {{100, 110, 0}, {100, 111, 1}, {100, 90, 0}, {100, 89, 1}, {0, 1, 1}};
    for (const auto& c : cases) {
        core.ResetDetectorView();
        core.SetMaxTenPercent(0);
        Pass(Frames({static_cast<frame::Word>(0x2000 | c.previous),
                     static_cast<frame::Word>(0x2000 | c.current)}));
        core.SetMaxTenPercent(2);
        Pass(Frames({0x2000 | 500}));
        EXPECT_EQ(core.iTenPercentCounter(), c.counted) << c.previous << " to " << c.current;
    }
}

TEST_F(ReceiverTest, FluctuationFilterOffTakesEveryChange) {
    core.SetMaxTenPercent(0);
    for (unsigned sig : {100u, 200u, 300u, 900u, 5u})
        Pass(Frames({static_cast<frame::Word>(0x2000 | sig)}));
    EXPECT_EQ(frame::Sig(core.Model().Word(1)), 5u);
    EXPECT_EQ(view.Count("ShowSignal"), 5);
    Pass(Frames({0x2000 | 5}));  // unchanged words are never taken
    EXPECT_EQ(view.Count("ShowSignal"), 5);
}

TEST_F(ReceiverTest, StateWordAlwaysShiftsThePreviousOne) {
    Pass(Frames({0x41F4, 0x41F4}));
    EXPECT_EQ(core.Model().Previous(2), 0x41F4);
    Pass(Frames({0x4200}));
    EXPECT_EQ(core.Model().Previous(2), 0x41F4);
    EXPECT_EQ(core.Model().Word(2), 0x4200);
}

TEST_F(ReceiverTest, UnchangedWordsCallNoHandler) {
    Pass(Frames({0x6A0C, 0x8E74, 0x6A0C, 0x8E74, 0x0005, 0x0005}));
    EXPECT_EQ(view.calls, (Texts{"RefreshSensPages", "ShowZone"}));
    EXPECT_EQ(core.Model().Word(0), 0x0005);
}

TEST_F(ReceiverTest, HundredZeroBytesAreCodeZeroFrames) {
    Pass(Bytes(100, 0x00));
    EXPECT_EQ(core.Model().Word(0), 0x0000);
    ASSERT_EQ(Log().size(), 25u);
    EXPECT_EQ(Log().front(), "Inp:[00 00 00 00] chsum:Ok code:0 ");
}

// However the line cuts the stream into reads, the console sees the same
// frames: garbage, a broken frame and zero data bytes included.
TEST_F(ReceiverTest, SplitReadsGiveTheSameResultAtEverySplitPoint) {
    const Bytes stream = Join(Join({0x7F, 0x00, 0x2F}, Frames({0x2FFF, 0xC95A, 0x0200})),
                              Join({0x00, 0x2F, 0xFF, 0x2F}, Frames({0xE320})));
    Pass(stream);
    const Texts whole = Log();
    const DetectorModel model = core.Model();
    ASSERT_GE(whole.size(), 5u);
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        TempDir d;
        const std::string path = d.File("Quillane.log");
        std::ofstream(path).flush();
        FakeLink l;
        ExchangeLog lg(clock, path);
        lg.EnableLogIfPresent();
        RecordingView v;
        ConsoleCore c(l, ports, clock, lg, v);
        l.Script(Bytes(stream.begin(), stream.begin() + static_cast<long>(cut)));
        c.Recv();
        l.Script(Bytes(stream.begin() + static_cast<long>(cut), stream.end()));
        c.Recv();
        lg.Flush();
        EXPECT_EQ(LogTexts(path), whole) << "cut at " << cut;
        EXPECT_EQ(c.Model().current, model.current) << "cut at " << cut;
    }
}

TEST_F(ReceiverTest, FrameSplitOverManyReadsAndLongReads) {
    for (std::uint8_t b : frame::IncomingFrame(0xC95A)) Pass({b});
    EXPECT_EQ(core.Model().Word(6), 0xC95A);
    // More than a read takes: the rest waits in the port for the next pass.
    Bytes many;
    for (int i = 0; i < 30; ++i) many = Join(many, Frames({static_cast<frame::Word>(0xE000 | i)}));
    Pass(many);
    EXPECT_EQ(frame::Pwr(core.Model().Word(7)), 24u);
    core.Recv();
    EXPECT_EQ(frame::Pwr(core.Model().Word(7)), 29u);
}

TEST_F(ReceiverTest, PartialFrameIsDroppedWhenThePortChanges) {
    Pass({0x00, 0xC9});
    view.selected = "COM3";
    core.cbComPortChange();
    Pass({0x5A, 0x23, 0x00, 0xE3, 0x20, 0x03});
    EXPECT_EQ(core.Model().Word(6), DetectorModel::kResetWord);
    EXPECT_EQ(core.Model().Word(7), 0xE320);
}

}  // namespace
}  // namespace quillane::test
