// The detector's mode follows the page in view, also when pages change faster
// than the detector reports its state.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>

#include "CoreFixture.h"
#include "console/pages/ModeRule.h"

namespace quillane::test {
namespace {

struct Sequence {
    const char* steps;
    bool startsCalibrating, endsCalibrating;
    int modeWords;  // code-0 frames the detector got
};

// A detector behind the fake line: it takes each mode word at once, and
// reports its mode only when a step lets a state word through (a real one
// does so once a full set, every 100 ms or so).
class ModeRule : public CoreFixture, public ::testing::WithParamInterface<Sequence> {
protected:
    void Tick() {
        core.Recv();
        core.Send();
        for (; taken_ < link.writes.size(); ++taken_) {
            const frame::Word w = frame::StatusWord(link.writes[taken_][0], link.writes[taken_][1]);
            if (frame::CommandCode(w) != 0) continue;
            calibrating_ = frame::CmdState(w) == 1;
            ++modeWords_;
        }
    }
    // L links up, r lets a state word through, a number runs that many 1 ms
    // ticks, C S R P A bring Calibration, Setup, Settings, Properties or About
    // into view.
    void Run(const std::string& steps) {
        std::istringstream in(steps);
        Page inView = Page::About;
        for (std::string s; in >> s;) {
            LinkUpSet set;
            set.state = word::State(calibrating_ ? 2 : 0);
            if (s == "L") Pass(Frames(set.Words()));
            if (s == "r") Pass(Frames({set.state}));
            for (int n = std::isdigit(static_cast<unsigned char>(s[0])) ? std::stoi(s) : 0; n > 0;
                 --n)
                Tick();
            if (const auto page = std::string("CSRPA").find(s[0]); page != std::string::npos) {
                core.PageLeft(inView);
                inView = static_cast<Page>(page);
                core.PageShown(inView);
            }
        }
    }
    bool calibrating_ = false;
    int modeWords_ = 0;
    std::size_t taken_ = 0;
};

TEST_P(ModeRule, TheDetectorEndsInTheModeOfThePageInView) {
    calibrating_ = GetParam().startsCalibrating;
    Run(GetParam().steps);
    EXPECT_EQ(calibrating_, GetParam().endsCalibrating) << GetParam().steps;
    EXPECT_EQ(modeWords_, GetParam().modeWords) << GetParam().steps;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ModeRule,
    ::testing::Values(
        Sequence{"L C 50 r", true, true, 0},         // already calibrating: nothing sent
        Sequence{"C 50 r S 50 r", false, false, 0},  // no detector: nothing sent
        Sequence{"L C 50 r S 50 r", false, false, 14},
        Sequence{"L S C 50 r", true, true, 7},  // found calibrating: Setup, then Calibration
        Sequence{"L S 20 C 3 S 50 r", false, false, 7},  // F2, F3 inside the start's run
        Sequence{"L C 20 S 50 r", false, false, 14},     // F2, F3 before the state report
        Sequence{"L C 20 S 20 C 20 S 20 C 20 r S 20 C 20 S 20 C 20 S 20 r C 50 r", false, true,
                 77}));  // keys 20 ms apart, ending on F2

// A state word answers the mode word sent before it: from then on the state
// reported decides, also when the detector leaves calibration by itself.
TEST_F(ModeRule, AStateWordAnswersTheModeWordSentBeforeIt) {
    Run("L C 50 r");
    ASSERT_TRUE(core.CalibrationAhead());
    Pass(Frames({word::State(0)}));
    EXPECT_FALSE(core.CalibrationAhead());
}

// F2 right after an Apply went out, before the detector reported it: the
// start carries the PL just sent, or the detector would take its old PL back.
class ModeWord : public CoreFixture {};

TEST_F(ModeWord, KeepsThePlThresholdTheDetectorWillHave) {
    Pass(Frames(LinkUpSet().Words()));  // PL index 10 stored
    PageCommands apply;
    apply.words[0] = frame::Command0(9, 12, 0);
    core.QueuePageCommands(CommandSource::SetupApply, apply);
    for (int i = 0; i < 7; ++i) core.Send();
    core.PageShown(Page::Calibration);
    EXPECT_EQ(core.PendingCommand(0), frame::Command0(9, 12, 1));
}

// F2 on the Calibration page sends a start the detector refused again.
TEST(ModeRuleTable, AKeyForThePageInViewAsksForItsModeAgain) {
    const auto none = ModeCommand::None;
    const struct {
        Page inView, key;
        bool linked, ahead;
        ModeCommand asked;
    } cases[] = {
        {Page::Calibration, Page::Calibration, true, false, ModeCommand::StartCalibration},
        {Page::Calibration, Page::Calibration, true, true, none},
        {Page::Calibration, Page::Calibration, false, false, none},
        {Page::Setup, Page::Calibration, true, false, none},  // the page change asks
        {Page::Setup, Page::Setup, true, true, ModeCommand::StopCalibration},
        {Page::About, Page::About, true, true, none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModeCommandOnKey(c.inView, c.key, c.linked, c.ahead), c.asked)
            << static_cast<int>(c.inView) << " " << static_cast<int>(c.key) << " " << c.ahead;
}

TEST(ModeRuleAtClose, StopsCalibrationReportedOrOnItsWay) {
    using M = ModeCommand;
    EXPECT_EQ(ModeCommandAtClose(false, false), M::None);
    EXPECT_EQ(ModeCommandAtClose(true, false), M::StopCalibration);  // a stop not yet taken
    EXPECT_EQ(ModeCommandAtClose(false, true), M::StopCalibration);  // a start on its way
    EXPECT_EQ(ModeCommandAtClose(true, true), M::StopCalibration);
}

// Detected in setup method 3 while calibrating: the Calibration page's start
// takes the place of the defaults' code-0 word and keeps their PL threshold.
TEST_F(ModeRule, TheModeWordKeepsThePLThresholdOfAWaitingWord) {
    LinkUpSet set;
    set.state = word::State(2);
    set.zone = word::Zone(3, 20);  // 190 m: index 6
    Pass(Frames(set.Words()));
    Run("S C");
    EXPECT_EQ(core.PendingCommand(0), frame::Command0(9, 6, 1));  // not the stored 10
}

}  // namespace
}  // namespace quillane::test
