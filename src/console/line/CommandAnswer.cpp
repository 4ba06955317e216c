#include "console/line/CommandAnswer.h"

#include "console/line/CommandCheck.h"
#include "model/Conversions.h"
#include "model/NumberFormat.h"

namespace quillane {

namespace {

std::string Joined(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) text += (text.empty() ? "" : ", ") + key;
    return text;
}

}  // namespace

CommandAnswer WaitingAnswer(CommandSource source) {
    return {"checking ...", colour::kGrey,
            std::string(CommandSourceName(source)) + ": waiting for the detector's answer"};
}

CommandAnswer OutcomeAnswer(const CommandRun& run, const NumberFormat& format) {
    const std::string what = std::string(CommandSourceName(run.source)) + ": ";
    switch (run.outcome) {
        case CommandOutcome::Confirmed:
            return {"\u2713 taken", colour::kGreen,
                    what + "the detector reports the values sent, after " +
                        WithUnit(format.Fixed(run.seconds, 1), "s")};
        case CommandOutcome::NotConfirmed:
            return {"\u2717 not taken", colour::kRed,
                    what + "the detector reports other values of " + Joined(run.differing)};
        case CommandOutcome::TimedOut:
            break;
    }
    return {"\u2717 no answer", colour::kRed,
            what + "no answer of " + Joined(run.differing) + " within " +
                WithUnit(format.Fixed(CommandCheck::kAnswerSeconds, 0), "s")};
}

bool AnsweredInInfoPanel(CommandSource source) {
    return source == CommandSource::CalibrationStart || source == CommandSource::CalibrationStop ||
           source == CommandSource::AutoDefaults;
}

}  // namespace quillane
