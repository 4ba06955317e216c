#include <gtest/gtest.h>

#include <vector>

#include "LineScanner.h"
#include "VirtualDetector.h"
#include "model/Conversions.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

using testing::LineScanner;

// The stream of words over a span of fake time, one per slot at the rate.
std::vector<std::uint16_t> Stream(VirtualDetector& d, double from, double to, int rate) {
    std::vector<std::uint16_t> words;
    for (long k = static_cast<long>(from * rate); k < static_cast<long>(to * rate); ++k) {
        words.push_back(d.NextWord(static_cast<double>(k) / rate));
    }
    return words;
}

DetectorOptions WithScenario(Scenario s) {
    DetectorOptions o;
    o.scenario = s;
    return o;
}

TEST(VirtualDetectorTest, FullSetComesInOrderWithoutASignalWordInside) {
    VirtualDetector d{DetectorOptions{}};
    const auto words = Stream(d, 0, 1.0, 400);
    int sets = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        if (frame::Code(words[i]) != 2) continue;
        ASSERT_LE(i + 6, words.size());
        for (unsigned k = 0; k < 6; ++k) EXPECT_EQ(frame::Code(words[i + k]), 2 + k) << i;
        ++sets;
    }
    EXPECT_GE(sets, 9);  // one every 100 ms
    EXPECT_LE(sets, 11);

    LineScanner scanner;
    d = VirtualDetector{DetectorOptions{}};
    for (int k = 0; k < 400; ++k) scanner.Feed(d.NextSlot(k / 400.0).bytes);
    EXPECT_EQ(scanner.fullSets, sets);
}

// Even at one frame a second a full set comes, with signal words between sets.
TEST(VirtualDetectorTest, SlowRateStillShowsSignalAndFullSets) {
    VirtualDetector d{DetectorOptions{}};
    LineScanner scanner;
    for (int k = 0; k < 20; ++k) scanner.Feed(d.NextSlot(k).bytes);
    EXPECT_GE(scanner.fullSets, 2);
    int signals = 0;
    for (auto w : scanner.words) signals += frame::Code(w) == 1;
    EXPECT_GE(signals, 4);
}

TEST(VirtualDetectorTest, ReportsItsIdentityAndSetup) {
    DetectorOptions o;
    o.model = 3, o.version = 5, o.letter = 2, o.address = 9, o.regul = 3, o.dist = 26;
    o.gain = 2, o.ref = 1, o.powerVolts = 24.0;
    VirtualDetector d(o);
    const auto id = d.Word(6, 0), zone = d.Word(4, 0), speed = d.Word(5, 0);
    EXPECT_EQ(frame::Dev(id), 3u);
    EXPECT_EQ(frame::Prog(id), 5u);
    EXPECT_EQ(frame::Letter(id), 2u);
    EXPECT_EQ(frame::Adr(id), 9u);
    EXPECT_EQ(frame::Regul(zone), 3u);
    EXPECT_EQ(frame::Dist(zone), 26u);
    EXPECT_EQ(frame::SensBp(zone), static_cast<unsigned>(DefaultDistSens(26)));
    EXPECT_EQ(frame::SensPp(d.Word(3, 0)), static_cast<unsigned>(DefaultDistSens(26)));
    EXPECT_EQ(frame::Amplif(speed), 2u);
    EXPECT_EQ(frame::Ref(speed), 1u);
    EXPECT_EQ(frame::Dis(speed), 0u);
    EXPECT_NEAR(PowerToVolts(frame::Pwr(d.Word(7, 0)), 14.33, 1.5), 24.0, 0.05);
    EXPECT_EQ(frame::State(d.Word(2, 0)), 0u);
}

TEST(VirtualDetectorTest, SpecialSetupMethodUsesItsOwnPresets) {
    DetectorOptions o;
    o.regul = 1;
    VirtualDetector d(o);
    EXPECT_EQ(frame::Regul(d.Word(4, 0)), 1u);
    EXPECT_NE(frame::SensPp(d.Word(3, 0)), static_cast<unsigned>(DefaultDistSens(o.dist)));
}

TEST(VirtualDetectorTest, AppliesCommandsInItsNextWords) {
    VirtualDetector d{DetectorOptions{}};
    EXPECT_TRUE(d.ApplyCommand(frame::Command0(7, 10, 1)));
    EXPECT_EQ(frame::State(d.Word(2, 0)), 2u);  // calibration
    EXPECT_EQ(frame::SensPp(d.Word(3, 0)), 10u);
    EXPECT_EQ(frame::Adr(d.Word(6, 0)), 1u);  // its own address, not the command's

    EXPECT_TRUE(d.ApplyCommand(frame::Command1(3, 7, 2)));
    EXPECT_EQ(frame::SensMp(d.Word(3, 0)), 3u);
    EXPECT_EQ(frame::SensBp(d.Word(4, 0)), 7u);
    EXPECT_EQ(frame::Letter(d.Word(6, 0)), 2u);

    EXPECT_TRUE(d.ApplyCommand(frame::Command2(1, 3, 20, 0)));
    EXPECT_EQ(frame::VelMin(d.Word(5, 0)), 1u);
    EXPECT_EQ(frame::VelMax(d.Word(5, 0)), 3u);
    EXPECT_EQ(frame::Dist(d.Word(4, 0)), 20u);
    EXPECT_EQ(frame::Regul(d.Word(4, 0)), 0u);

    EXPECT_TRUE(d.ApplyCommand(frame::Command0(1, 10, 0)));
    EXPECT_EQ(frame::State(d.Word(2, 0)), 0u);  // calibration left

    const auto before = d.Word(4, 0);
    EXPECT_FALSE(d.ApplyCommand(0x6080));  // code 3 is no command
    EXPECT_EQ(d.Word(4, 0), before);
}

// A detector that refuses some commands leaves its words as they were.
TEST(VirtualDetectorTest, IgnoresTheCommandsItWasToldToIgnore) {
    DetectorOptions o;
    o.ignored = kIgnoreCalibration | kIgnoreZone;
    VirtualDetector d{o};
    EXPECT_FALSE(d.ApplyCommand(frame::Command0(1, 10, 1)));
    EXPECT_EQ(frame::State(d.Word(2, 0)), 0u);
    EXPECT_TRUE(d.ApplyCommand(frame::Command0(1, 12, 0)));  // a PL of its own mode
    EXPECT_EQ(frame::SensPp(d.Word(3, 0)), 12u);
    EXPECT_FALSE(d.ApplyCommand(frame::Command2(1, 3, 20, 0)));
    EXPECT_EQ(frame::Regul(d.Word(4, 0)), o.regul);
}

// Mode values other than 0 and 1 change the threshold but not the mode.
TEST(VirtualDetectorTest, UnknownModeKeepsTheMode) {
    VirtualDetector d{DetectorOptions{}};
    d.ApplyCommand(frame::Command0(1, 4, 3));
    EXPECT_EQ(frame::State(d.Word(2, 0)), 0u);
    EXPECT_EQ(frame::SensPp(d.Word(3, 0)), 4u);
}

TEST(VirtualDetectorTest, WalkTestRaisesAlarmsAtTheChosenTimes) {
    DetectorOptions o = WithScenario(Scenario::kWalk);
    o.alarms = {2.0, 6.0};
    VirtualDetector d(o);
    for (double peak : {2.6, 6.6}) {
        const auto sig = d.Word(1, peak);
        EXPECT_EQ(frame::Pp(sig) + frame::Mp(sig) + frame::Bp(sig), 3u) << peak;
        EXPECT_EQ(frame::State(d.Word(2, peak)), 1u) << peak;
    }
    for (double calm : {0.0, 1.9, 4.0, 5.99, 7.3}) {
        const auto sig = d.Word(1, calm);
        EXPECT_EQ(frame::Pp(sig) + frame::Mp(sig) + frame::Bp(sig), 0u) << calm;
        EXPECT_EQ(frame::State(d.Word(2, calm)), 0u) << calm;
    }
    // The flags come in threshold order as the deviation rises: PL first.
    const auto rising = d.Word(1, 2.0 + 0.6 * DefaultMP(7) / 80.0 - 0.01);
    EXPECT_EQ(frame::Pp(rising), 1u);
    EXPECT_EQ(frame::Bp(rising), 0u);

    // In the stream, each alarm is one change into Alarm.
    int alarms = 0;
    unsigned last = 0;
    for (auto w : Stream(d, 0, 9, 400)) {
        if (frame::Code(w) != 2) continue;
        alarms += frame::State(w) == 1 && last != 1;
        last = frame::State(w);
    }
    EXPECT_EQ(alarms, 2);
}

TEST(VirtualDetectorTest, WalkTestWithoutTimesAlarmsEveryTenSeconds) {
    VirtualDetector d(WithScenario(Scenario::kWalk));
    EXPECT_EQ(frame::State(d.Word(2, 5.6)), 1u);
    EXPECT_EQ(frame::State(d.Word(2, 15.6)), 1u);
    EXPECT_EQ(frame::State(d.Word(2, 10.0)), 0u);
}

TEST(VirtualDetectorTest, CalibrationScenarioAimsAndLosesTheBeamNowAndThen) {
    VirtualDetector d(WithScenario(Scenario::kCalibration));
    EXPECT_EQ(frame::State(d.Word(2, 1.0)), 2u);
    EXPECT_NE(frame::Sig(d.Word(1, 1.0)), frame::Sig(d.Word(1, 6.0)));  // the sweep
    EXPECT_EQ(frame::State(d.Word(2, 14.5)), 1u);                       // no signal
    EXPECT_LT(frame::Sig(d.Word(1, 14.5)), 10u);
    d.ApplyCommand(frame::Command0(1, 7, 0));
    EXPECT_EQ(frame::State(d.Word(2, 14.5)), 0u);
}

TEST(VirtualDetectorTest, WarningScenarioReportsTheChosenWarning) {
    for (unsigned dis : {1u, 2u, 3u}) {
        DetectorOptions o = WithScenario(Scenario::kWarning);
        o.dis = dis;
        EXPECT_EQ(frame::Dis(VirtualDetector(o).Word(5, 0)), dis);
    }
}

TEST(VirtualDetectorTest, GarbageLeavesEveryFullSetAndMostSignalWordsDecodable) {
    DetectorOptions o = WithScenario(Scenario::kGarbage);
    o.garbageRate = 0.3;
    VirtualDetector d(o);
    LineScanner scanner;
    int sent = 0, bad = 0, loose = 0, sets = 0;
    for (int k = 0; k < 4000; ++k) {  // 10 s at 400 frames/s
        const LineSlot slot = d.NextSlot(k / 400.0);
        sent += slot.frames, bad += slot.badFrames, loose += slot.garbageBytes;
        sets += frame::Code(frame::StatusWord(slot.bytes[slot.bytes.size() - 3],
                                              slot.bytes[slot.bytes.size() - 2])) == 7;
        scanner.Feed(slot.bytes);
    }
    EXPECT_GT(bad, 100);
    EXPECT_GT(loose, 100);
    EXPECT_EQ(scanner.fullSets, sets);
    EXPECT_GT(scanner.words.size(), sent * 9u / 10);
    EXPECT_GT(scanner.badFrames, 0);
}

TEST(VirtualDetectorTest, SameSeedSameRun) {
    auto bytes = [](std::uint32_t seed) {
        DetectorOptions o = WithScenario(Scenario::kGarbage);
        o.seed = seed;
        VirtualDetector d(o);
        std::vector<std::uint8_t> all;
        for (int k = 0; k < 2000; ++k) {
            const auto s = d.NextSlot(k / 400.0).bytes;
            all.insert(all.end(), s.begin(), s.end());
        }
        return all;
    };
    EXPECT_EQ(bytes(7), bytes(7));
    EXPECT_NE(bytes(7), bytes(8));
}

}  // namespace
}  // namespace quillane
