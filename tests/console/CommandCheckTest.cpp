// Proof that the detector took a command: the rule over command and status
// words, then the core that feeds it from the line and the watch.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "console/line/CommandCheck.h"

namespace quillane::test {
namespace {

using frame::Command0;
using Keys = std::vector<std::string>;
using Words = std::vector<frame::Word>;
using S = CommandSource;
using O = CommandOutcome;

// A Setup apply of sensitivity 10 and zone 12 in Auto, and device parameters
// (speeds, zone 12 in Auto, LL and HL 10, letter F3), and the words of a
// detector that took them or not.
const Words kApply = {Command0(9, 10, 0), frame::Command1(10, 10, 1), frame::Command2(1, 3, 12, 2)};
const Words kParams = {frame::Command2(1, 3, 12, 2), frame::Command1(10, 10, 2)};
const frame::Word kState = word::State(0), kSens = word::Sens(10, 10),
                  kZone = word::Zone(2, 12, 10), kSpeed = word::Speed(0, 1, 3),
                  kId = word::Identity(2, 3, 1, 9);
const Words kTook = {kState, kSens, kZone, kSpeed, kId};
const Words kOtherPl = {kState, word::Sens(12, 10), kZone, kSpeed, kId};
const Words kNoZone = {kState, kSens, kSpeed, kId};
const Words kAuto3 = {word::Zone(3, 12, 10), kSpeed, kSens, word::Identity(2, 3, 2, 9)};
const Words kManual = {word::Zone(0, 12, 10), kSpeed, kSens, word::Identity(2, 3, 2, 9)};
const Words kStart = {Command0(9, 10, 1)}, kStop = {Command0(9, 10, 0)};
const Words kCalibrating = {word::State(2), kSens}, kNormal = {kState, kSens},
            kAlarm = {word::State(1), kSens};
const Keys kAll = {"senspp",  "state",   "sensmp", "sensbp", "letter",
                   "vel_min", "vel_max", "dist",   "regul"};

// The status keys of the fields that differ.
Keys KeysOf(const std::vector<FieldAnswer>& differing) {
    Keys keys;
    for (const FieldAnswer& a : differing)
        for (const command::CommandField& f : command::kFields)
            if (f.meaning == a.meaning && f.reported) keys.push_back(f.reported->key);
    return keys;
}

// The runs the status words confirm, reported at `at` one after another.
std::vector<CommandRun> ReportAll(CommandCheck& check, const Words& words, double at) {
    std::vector<CommandRun> ended;
    for (const frame::Word w : words)
        for (const CommandRun& run : check.Reported(w, at)) ended.push_back(run);
    return ended;
}

TEST(CommandCheck, JudgesARunByTheStatusWordsAfterItsSends) {
    const double t0 = 100.0;
    const struct {
        const char* name;
        S source;
        Words sent, reported;  // reported 0.1 s after the sends ended (before them when `early`)
        O outcome;
        Keys differing;
        bool early = false;
    } cases[] = {
        {"every value reported", S::SetupApply, kApply, kTook, O::Confirmed, {}},
        {"a threshold not taken", S::SetupApply, kApply, kOtherPl, O::NotConfirmed, {"senspp"}},
        {"no zone word", S::SetupApply, kApply, kNoZone, O::TimedOut, {"sensbp", "dist", "regul"}},
        {"words from before the sends", S::SetupApply, kApply, kTook, O::TimedOut, kAll, true},
        {"calibration entered", S::CalibrationStart, kStart, kCalibrating, O::Confirmed, {}},
        {"calibration refused", S::CalibrationStart, kStart, kNormal, O::NotConfirmed, {"state"}},
        {"calibration left for an alarm", S::CalibrationStop, kStop, kAlarm, O::Confirmed, {}},
        {"auto, the defaults not applied",
         S::DeviceParameters,
         kParams,
         kAuto3,
         O::NotConfirmed,
         {"regul"}},
        {"auto as manual", S::DeviceParameters, kParams, kManual, O::NotConfirmed, {"regul"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandCheck check;
        check.Begin(c.source);
        for (const frame::Word w : c.sent) check.Queued(w);
        std::vector<CommandRun> ended;
        const auto report = [&](double at) {
            for (const frame::Word w : c.reported)
                for (const CommandRun& run : check.Reported(w, at)) ended.push_back(run);
        };
        if (c.early) report(t0 - 0.01);
        check.SendsEnded(t0);
        if (!c.early) report(t0 + 0.1);
        // Other values may still change to the ones sent: only the answer time ends a run.
        EXPECT_TRUE(check.Due(t0 + CommandCheck::kAnswerSeconds - 0.001).empty());
        for (const CommandRun& run : check.Due(t0 + CommandCheck::kAnswerSeconds))
            ended.push_back(run);
        ASSERT_EQ(ended.size(), 1u);
        EXPECT_EQ(ended[0].source, c.source);
        EXPECT_EQ(ended[0].outcome, c.outcome);
        EXPECT_EQ(KeysOf(ended[0].differing), c.differing);
        EXPECT_NEAR(ended[0].seconds, c.outcome == O::Confirmed ? 0.1 : 2.0, 1e-9);
        EXPECT_EQ(ended[0].sent.size(), c.sent.size());
    }
}

// The answer time that NextDue names is the one Due keeps: at that moment the
// run ends, whatever the rounding of the times, or the watch would wake at
// once again and again for a run that is not yet over.
TEST(CommandCheck, ARunEndsAtTheAnswerTimeItNames) {
    for (int i = 0; i < 2000; ++i) {
        const double sendsEnded = 1000.0 + i * 0.0123456789;
        CommandCheck check;
        check.Begin(S::CalibrationStop);
        check.Queued(kStop[0]);
        check.SendsEnded(sendsEnded);
        const std::optional<double> due = check.NextDue(sendsEnded);
        ASSERT_TRUE(due);
        ASSERT_EQ(check.Due(*due).size(), 1u) << "sends ended at " << sendsEnded;
        EXPECT_FALSE(check.NextDue(*due));
    }
}

TEST(CommandCheck, OneRunPerActionWhileItSends) {
    const double t0 = 50.0;
    CommandCheck check;
    // Leaving Calibration for Setup stops calibration twice in a row.
    for (int i = 0; i < 2; ++i) {
        check.Begin(S::CalibrationStop);
        check.Queued(kStop[0]);
    }
    EXPECT_EQ(check.NextDue(t0), t0 + CommandCheck::kAnswerSeconds);  // still sending
    check.SendsEnded(t0);
    // Another action while the first waits is a run of its own.
    check.Begin(S::DeviceParameters);
    EXPECT_TRUE(check.Queued(kParams[1]).empty());
    check.SendsEnded(t0 + 0.5);
    // Nothing began a run: not checked; a run without words is dropped.
    check.Queued(frame::Command2(1, 1, 1, 1));
    check.Begin(S::SetupApply);
    check.SendsEnded(t0 + 0.6);

    EXPECT_TRUE(check.Reported(kSens, t0 + 0.7).empty());
    const std::vector<CommandRun> stopped = check.Reported(kState, t0 + 0.8);
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(stopped[0].source, S::CalibrationStop);
    EXPECT_EQ(stopped[0].reported, (Words{kState, kSens}));
    EXPECT_EQ(check.NextDue(t0 + 0.8), t0 + 0.5 + CommandCheck::kAnswerSeconds);
    EXPECT_TRUE(check.Reported(kZone, t0 + 0.85).empty());
    const std::vector<CommandRun> params = check.Reported(word::Identity(2, 3, 2, 9), t0 + 0.9);
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].source, S::DeviceParameters);
    EXPECT_FALSE(check.NextDue(t0 + 0.9));
}

// Found calibrating: the Setup page's stop is replaced in its slot by the
// Calibration page's start before it goes out; only the start is judged.
TEST(CommandCheck, AWordReplacedInItsSlotIsNotJudged) {
    CommandCheck check;
    check.Begin(S::CalibrationStop);
    check.Queued(kStop[0]);
    check.Begin(S::CalibrationStart);
    check.Queued(kStart[0]);
    check.SendsEnded(10.0);
    const std::vector<CommandRun> ended = ReportAll(check, kCalibrating, 10.1);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].source, S::CalibrationStart);
    EXPECT_FALSE(check.NextDue(10.1));
}

// Quick keys: each action's word takes its code from the runs before it, sent
// or not; only what the detector is asked last is judged.
TEST(CommandCheck, OnlyTheLastWordOfEachCodeIsJudged) {
    const Words kApplyAuto = {Command0(9, 10, 0), frame::Command1(10, 10, 1),
                              frame::Command2(1, 3, 12, 2)};
    const std::pair<S, Words> f2{S::CalibrationStart, kStart}, f3{S::CalibrationStop, kStop},
        apply{S::SetupApply, kApplyAuto}, defaults{S::AutoDefaults, kApplyAuto};
    const Words took = {word::State(2), kSens, kZone, kSpeed, kId},
                kept = {word::State(2), kSens, word::Zone(3, 12, 10), kSpeed, kId};
    const O ok = O::Confirmed, no = O::NotConfirmed;
    const struct {
        const char* name;
        std::vector<std::pair<S, Words>> actions;
        Words reported;
        std::vector<std::pair<S, O>> outcomes;  // of the runs judged, in order
        std::vector<S> dropped;
    } cases[] = {
        {"F2 then F3", {f2, f3}, kNormal, {{f3.first, ok}}, {f2.first}},
        {"F2 F3 F2", {f2, f3, f2}, kCalibrating, {{f2.first, ok}}, {f2.first, f3.first}},
        {"apply, F2: codes kept", {apply, f2}, took, {{f2.first, ok}, {apply.first, ok}}, {}},
        {"defaults kept out, F2", {defaults, f2}, kept, {{f2.first, ok}, {defaults.first, no}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandCheck check;
        std::vector<S> dropped;
        double t = 10.0;
        for (const auto& [source, words] : c.actions) {  // each sent before the next
            check.Begin(source);
            for (const frame::Word w : words)
                for (const CommandCheck::Dropped& d : check.Queued(w)) dropped.push_back(d.source);
            check.SendsEnded(t += 0.02);
        }
        std::vector<std::pair<S, O>> outcomes;
        for (const CommandRun& run : ReportAll(check, c.reported, t + 0.1))
            outcomes.emplace_back(run.source, run.outcome);
        for (const CommandRun& run : check.Due(t + CommandCheck::kAnswerSeconds))
            outcomes.emplace_back(run.source, run.outcome);
        EXPECT_EQ(outcomes, c.outcomes);
        EXPECT_EQ(dropped, c.dropped);
        EXPECT_FALSE(check.NextDue(t + CommandCheck::kAnswerSeconds));
    }
}

// Actions that queue nothing, one after another and never a send: none of
// them stays open; a run with words stays through the next begin.
TEST(CommandCheck, ARunLeftWithoutAWordGoesWhenTheNextBegins) {
    CommandCheck check;
    for (int i = 0; i < 50; ++i) check.Begin(i % 2 ? S::SetupApply : S::CalibrationStop);
    EXPECT_EQ(check.OpenRuns(), 1u);  // the one taking words
    check.Begin(S::CalibrationStart);
    check.Queued(kStart[0]);
    check.Begin(S::SetupApply);
    check.SendsEnded(5.0);
    const std::vector<CommandRun> ended = ReportAll(check, kCalibrating, 5.1);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].source, S::CalibrationStart);
    EXPECT_EQ(check.OpenRuns(), 0u);
}

// The core: its own watch ends a run the line never answered.
class CommandRunTest : public CoreFixture {};

// One idea of a run for the check and the record: the words one action
// queues until the next pass, the last of each code; the record hears of
// those that went out once the sends are over.
TEST_F(CommandRunTest, TheRecordHearsOfTheWordsThatWentOut) {
    core.TimerTimer();  // the first tick opens the port
    const auto sendAll = [this] {
        while (core.bCmdPending()) core.TimerTimer();
    };
    PageCommands apply;
    apply.words = {Command0(9, 10, 0), frame::Command1(10, 10, 1), frame::Command2(1, 3, 12, 2)};
    core.QueuePageCommands(S::SetupApply, apply);
    apply.words[0] = Command0(9, 12, 0);
    core.QueuePageCommands(S::SetupApply, apply);  // pressed again before a pass
    core.TimerTimer();
    EXPECT_TRUE(view.queued.empty());  // still going out
    sendAll();
    ASSERT_EQ(view.queued.size(), 1u);
    EXPECT_EQ(view.queued[0].source, S::SetupApply);
    EXPECT_EQ(view.queued[0].words, (Words{Command0(9, 12, 0), frame::Command1(10, 10, 1),
                                           frame::Command2(1, 3, 12, 2)}));

    // A relink during aiming: the stop is replaced in its slot by the start
    // before a frame of it is written; the detector hears only the start.
    core.QueueCmd1(1, 1, 1);      // no action named: recorded, not judged
    core.StopCalibrationMode();   // ends the run before it
    core.StartCalibrationMode();  // and this one the stop
    sendAll();
    ASSERT_EQ(view.queued.size(), 3u);
    EXPECT_FALSE(view.queued[1].source);
    EXPECT_EQ(view.queued[2].source, S::CalibrationStart);

    // Replaced after its first frame went out: both reached the line.
    core.StopCalibrationMode();
    core.TimerTimer();
    core.StartCalibrationMode();
    sendAll();
    ASSERT_EQ(view.queued.size(), 5u);
    EXPECT_EQ(view.queued[3].source, S::CalibrationStop);
    EXPECT_EQ(view.queued[4].source, S::CalibrationStart);

    // A line that takes nothing: nothing went out.
    core.StopCalibrationMode();
    link.open = false;
    sendAll();
    EXPECT_EQ(view.queued.size(), 5u);
    EXPECT_EQ(view.begun,
              (std::vector<S>{S::SetupApply, S::SetupApply, S::CalibrationStop, S::CalibrationStart,
                              S::CalibrationStop, S::CalibrationStart, S::CalibrationStop}));
}

TEST_F(CommandRunTest, TheWatchEndsARunThatGotNoAnswer) {
    Pass(FullSet());  // setup method 3: the console applies its defaults
    ASSERT_EQ(view.begun, std::vector<S>{S::AutoDefaults});
    // The answer time counts from the last of the 21 sends, 1 ms apart.
    for (int i = 0; i < 21; ++i, clock.Advance(0.001)) core.Send();
    clock.Advance(1.5 - 0.001);
    EXPECT_NEAR(*core.WatchDueIn(), 0.5, 1e-9);
    clock.Advance(0.5);
    core.Watch();
    ASSERT_EQ(view.ended.size(), 1u);
    EXPECT_EQ(view.ended[0].outcome, O::TimedOut);
    EXPECT_FALSE(core.WatchDueIn());
}

}  // namespace
}  // namespace quillane::test
