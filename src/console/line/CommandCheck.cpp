#include "console/line/CommandCheck.h"

#include <algorithm>

#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {

namespace {

using frame::Word;

bool Equal(unsigned reported, unsigned sent) { return reported == sent; }

// A code-0 word with state 1 asks for calibration, any other state to leave
// it; after leaving, the detector may report Normal, Alarm or a malfunction.
bool CalibrationAsked(unsigned reported, unsigned sent) {
    return (reported == detector::kStateCalibration) == (sent == 1);
}

// Both 2 and 3 are Auto, and the info panel shows them alike.
bool SameMethod(unsigned reported, unsigned sent) {
    const auto automatic = [](unsigned m) {
        return m == detector::kRegulAuto || m == detector::kRegulAutoDefaults;
    };
    return reported == sent || (automatic(reported) && automatic(sent));
}

// Where each field of a command word comes back in the status words.
struct Field {
    unsigned commandCode;
    unsigned (*sent)(Word);
    unsigned statusCode;
    unsigned (*reported)(Word);
    const char* key;  // the status field's key in the exchange log
    bool (*same)(unsigned reported, unsigned sent);
};

const Field kFields[] = {
    {0, frame::CmdSensPp, 3, frame::SensPp, "senspp", Equal},
    {0, frame::CmdState, 2, frame::State, "state", CalibrationAsked},
    {1, frame::CmdSensMp, 3, frame::SensMp, "sensmp", Equal},
    {1, frame::CmdSensBp, 4, frame::SensBp, "sensbp", Equal},
    {1, frame::CmdLetter, 6, frame::Letter, "letter", Equal},
    {2, frame::CmdMinSpd, 5, frame::VelMin, "vel_min", Equal},
    {2, frame::CmdMaxSpd, 5, frame::VelMax, "vel_max", Equal},
    {2, frame::CmdDist, 4, frame::Dist, "dist", Equal},
    {2, frame::CmdReg, 4, frame::Regul, "regul", SameMethod},
};

}  // namespace

void CommandCheck::Begin(CommandSource source) {
    if (!runs_.empty() && !runs_.back().sendsEnded && runs_.back().run.source == source) return;
    Open open;
    open.run.source = source;
    runs_.push_back(open);
}

void CommandCheck::Queued(std::uint16_t command) {
    const unsigned code = frame::CommandCode(command);
    // Runs that still send are the newest ones: the sends end for all at once.
    if (runs_.empty() || runs_.back().sendsEnded || code > 2) return;
    // The word takes its code's slot: what an earlier run still sending put
    // there is no longer what the detector is asked (a stop at detection that
    // the Calibration page's start replaces). A run left with no words ends
    // with the sends, unjudged.
    for (Open& open : runs_)
        if (!open.sendsEnded) open.sent[code].reset();
    runs_.back().sent[code] = command;
}

void CommandCheck::SendsEnded(double now) {
    runs_.erase(std::remove_if(runs_.begin(), runs_.end(),
                               [](const Open& o) {
                                   return !o.sendsEnded && !o.sent[0] && !o.sent[1] && !o.sent[2];
                               }),
                runs_.end());
    for (Open& open : runs_)
        if (!open.sendsEnded) open.sendsEnded = now;
}

std::vector<CommandRun> CommandCheck::Reported(std::uint16_t status, double now) {
    std::vector<CommandRun> confirmed;
    for (auto it = runs_.begin(); it != runs_.end();) {
        if (it->sendsEnded) it->reported[frame::Code(status)] = status;
        if (it->sendsEnded && Settle(*it) == CommandOutcome::Confirmed) {
            confirmed.push_back(Finish(*it, CommandOutcome::Confirmed, now));
            it = runs_.erase(it);
        } else {
            ++it;
        }
    }
    return confirmed;
}

std::vector<CommandRun> CommandCheck::Due(double now) {
    std::vector<CommandRun> ended;
    for (auto it = runs_.begin(); it != runs_.end();) {
        if (it->sendsEnded && now - *it->sendsEnded >= kAnswerSeconds) {
            ended.push_back(Finish(*it, Settle(*it), now));
            it = runs_.erase(it);
        } else {
            ++it;
        }
    }
    return ended;
}

std::optional<double> CommandCheck::NextDue(double now) const {
    std::optional<double> next;
    for (const Open& open : runs_) {
        const double due = open.sendsEnded.value_or(now) + kAnswerSeconds;
        next = next ? std::min(*next, due) : due;
    }
    return next;
}

bool CommandCheck::Waiting() const {
    return std::any_of(runs_.begin(), runs_.end(), [](const Open& o) { return o.sendsEnded; });
}

CommandOutcome CommandCheck::Settle(Open& open) {
    CommandRun& run = open.run;
    run.sent.clear();
    for (const auto& word : open.sent)
        if (word) run.sent.push_back(*word);
    run.differing.clear();
    std::array<bool, 8> wanted{};
    bool unreported = false;
    for (const Field& f : kFields) {
        const std::optional<std::uint16_t>& sent = open.sent[f.commandCode];
        if (!sent) continue;
        wanted[f.statusCode] = true;
        const std::optional<std::uint16_t>& reported = open.reported[f.statusCode];
        unreported = unreported || !reported;
        if (!reported || !f.same(f.reported(*reported), f.sent(*sent)))
            run.differing.push_back(f.key);
    }
    run.reported.clear();
    for (unsigned code = 0; code < wanted.size(); ++code)
        if (wanted[code] && open.reported[code]) run.reported.push_back(*open.reported[code]);
    if (run.differing.empty()) return CommandOutcome::Confirmed;
    return unreported ? CommandOutcome::TimedOut : CommandOutcome::NotConfirmed;
}

CommandRun CommandCheck::Finish(Open& open, CommandOutcome outcome, double now) {
    open.run.outcome = outcome;
    open.run.seconds = now - *open.sendsEnded;
    return open.run;
}

}  // namespace quillane
