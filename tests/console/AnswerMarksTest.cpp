// The detector's answer where the installer looks: what a mark says of a
// run, and how long it stands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/line/AnswerMarks.h"
#include "console/line/CommandAnswer.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "protocol/FrameCodec.h"

namespace quillane::test {
namespace {

using M = command::Meaning;
using S = CommandSource;

CommandRun Judged(RunId id, S source, CommandOutcome outcome,
                  std::vector<FieldAnswer> differing = {}) {
    CommandRun run;
    run.id = id;
    run.source = source;
    run.outcome = outcome;
    run.differing = std::move(differing);
    return run;
}

TEST(AnswerTexts, SayWhatWasAskedAndWhatCameBackInThePagesUnits) {
    const NumberFormat comma(',');
    CorrespondenceTables tables(comma);
    tables.Fill(ProfileFile("/nonexistent/Quillane.ini"));
    const auto no = CommandOutcome::NotConfirmed;
    const struct {
        const char* name;
        CommandRun run;
        std::vector<std::string> texts;
    } cases[] = {
        {"a threshold on the Settings page",
         Judged(1, S::SettingsApply, no, {{M::PlIndex, 11, 10}, {M::HlIndex, 0, 1}}),
         {"PL: asked 27 %, detector reports 25,5 %", "HL: asked 22,5 %, detector reports 24 %"}},
        {"the zone without an answer",
         Judged(1, S::SettingsApply, no, {{M::Zone, 11, std::nullopt}}),
         {"Zone length: asked 100 m, no answer within 2 s"}},
        {"the Setup page's one sensitivity, said once",
         Judged(1, S::SetupApply, no,
                {{M::PlIndex, 10, 12}, {M::LlIndex, 10, 12}, {M::HlIndex, 10, 12}}),
         {"Sensitivity: asked 80 %, detector reports 76 %"}},
        {"a refused calibration start",
         Judged(1, S::CalibrationStart, no, {{M::Mode, 1, 0}}),
         {"Mode: asked Calibration, detector reports Normal"}},
        {"defaults the detector kept out",
         Judged(1, S::AutoDefaults, no, {{M::Method, 2, 3}}),
         {"Setup method: asked Auto, detector reports Auto, defaults not applied"}},
        {"device parameters",
         Judged(1, S::DeviceParameters, no,
                {{M::MinSpeed, 1, 0}, {M::MaxSpeed, 3, 1}, {M::Unit, 2, std::nullopt}}),
         {"Vmin: asked 0,2 m/s, detector reports 0,1 m/s",
          "Vmax: asked 10 m/s, detector reports 6 m/s", "Unit ID: asked F3, no answer within 2 s"}},
    };
    for (const auto& c : cases) EXPECT_EQ(DifferingTexts(c.run, tables, comma), c.texts) << c.name;
}

PageCommands Asked(unsigned senspp) {
    PageCommands c;
    c.words[0] = frame::Command0(9, senspp, 0);
    c.words[2] = frame::Command2(1, 3, 12, 2);
    return c;
}

// Runs the events of `steps` and says what `place` shows then: "" (empty),
// "checking <action>" or the outcome's name. An event is a letter and an
// argument: b begins run n, of the action kRuns[n % 6] (a Setup apply asks
// PL index 10), o ends run n confirmed and x not confirmed, d drops run n,
// l and s make page p leave and come into view (C Calibration, S Setup, A
// About), f changes the Setup page's fields to ask PL index n + 9, u and t
// unsettle and settle, r resets.
std::string Play(const std::string& steps, MarkPlace place) {
    const S kRuns[] = {S::SetupApply,   S::CalibrationStart, S::CalibrationStop,
                       S::AutoDefaults, S::DeviceParameters, S::SettingsApply};
    const auto page = [](char p) {
        return p == 'C' ? Page::Calibration : p == 'S' ? Page::Setup : Page::About;
    };
    AnswerMarks m;
    for (std::size_t i = 0; i + 1 < steps.size(); i += 3) {
        const char what = steps[i], arg = steps[i + 1];
        const RunId run = static_cast<RunId>(arg - '0');
        const S source = kRuns[run % 6];
        if (what == 'b') m.Begun(run, source, source == S::SetupApply ? Asked(10) : PageCommands{});
        if (what == 'o' || what == 'x')
            m.Ended(Judged(run, source,
                           what == 'o' ? CommandOutcome::Confirmed : CommandOutcome::NotConfirmed));
        if (what == 'd') m.Dropped(run);
        if (what == 'l') m.PageLeft(page(arg));
        if (what == 's') m.PageShown(page(arg));
        if (what == 'f')
            m.FieldsChanged(S::SetupApply, Asked(static_cast<unsigned>(arg - '0') + 9));
        if (what == 'u') m.Unsettle();
        if (what == 't') m.Settle();
        if (what == 'r') m.Reset();
    }
    const AnswerMark* shown = m.At(place);
    if (shown == nullptr) return "";
    if (!shown->outcome) return std::string("checking ") + CommandSourceName(shown->source);
    return CommandOutcomeName(shown->outcome->outcome);
}

TEST(AnswerMarks, AMarkStandsOnlyForTheValuesItJudged) {
    const MarkPlace mode = MarkPlace::Mode, setup = MarkPlace::SetupApply;
    const struct {
        const char* name;
        const char* steps;
        MarkPlace place;
        const char* shown;
    } cases[] = {
        {"a refused start goes with the Calibration page", "sC b1 x1 lC sS", mode, ""},
        {"a stop begun on leaving: the next page's", "sC lC b2 sS o2", mode, "confirmed"},
        {"defaults: the detected page's", "u0 b3 lA sS t0 x3", mode, "not confirmed"},
        {"... and go when it leaves", "u0 b3 lA sS t0 x3 lS", mode, ""},
        {"the defaults without a page change", "u0 b3 t0 x3", mode, "not confirmed"},
        {"a later run takes the place", "b1 b2 x1", mode, "checking Calibration stop"},
        {"a run dropped unjudged", "b4 d4", MarkPlace::DeviceParameters, ""},
        {"a field changed to a value not applied", "b6 o6 f2", setup, ""},
        {"fields that still ask what was sent", "b6 o6 f1", setup, "confirmed"},
        {"the answer to values changed meanwhile", "b6 f2 o6", setup, ""},
        {"the link lost", "b5 r0", MarkPlace::SettingsApply, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Play(c.steps, c.place), c.shown) << c.name;
}

}  // namespace
}  // namespace quillane::test
