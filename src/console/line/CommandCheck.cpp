#include "console/line/CommandCheck.h"

#include <algorithm>

#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {

namespace {

// Whether a reported value shows what a field asked: a mode word asks for
// calibration or to leave it (after leaving, the detector may report Normal,
// Alarm or a malfunction); every other field reports the value sent. The
// setup method too: a detector that keeps method 3 still waits for the
// defaults that asked for 2.
bool Same(command::Meaning meaning, unsigned reported, unsigned sent) {
    if (meaning == command::Meaning::Mode)
        return (reported == detector::kStateCalibration) == (sent == command::kModeCalibrate);
    return reported == sent;
}

bool HasWords(const std::array<std::optional<std::uint16_t>, command::kCodes>& sent) {
    return std::any_of(sent.begin(), sent.end(), [](const auto& w) { return w.has_value(); });
}

}  // namespace

void CommandCheck::Begin(CommandSource source) {
    if (taking_ && taking_->source == source) return;
    Close();
    Open open;
    open.run.id = ++lastId_;
    open.run.source = source;
    runs_.push_back(open);
    taking_ = TakingRun{source, {}};
}

std::optional<RunId> CommandCheck::Taking() const {
    if (!taking_ || !taking_->source) return std::nullopt;
    return runs_.back().run.id;
}

std::vector<CommandCheck::Dropped> CommandCheck::Queued(std::uint16_t command) {
    const unsigned code = frame::CommandCode(command);
    if (code >= command::kCodes) return {};
    if (!taking_) taking_ = TakingRun{};
    taking_->queued[code] = command;
    // A word still in its slot, not one frame of it written: the detector
    // never hears it.
    for (Unsent& u : unsent_)
        if (!u.out[code]) u.asked.queued[code].reset();
    const std::optional<RunId> own = Taking();
    std::vector<Dropped> dropped;
    for (auto it = runs_.begin(); it != runs_.end();) {
        if (it->run.id == own) {
            it->sent[code] = command;
        } else {
            it->sent[code].reset();
            if (!HasWords(it->sent)) {
                dropped.push_back({it->run.id, it->run.source});
                it = runs_.erase(it);
                continue;
            }
        }
        ++it;
    }
    return dropped;
}

void CommandCheck::Close() {
    if (!taking_) return;
    // A run that takes no more words and has none can never be judged: it
    // goes now, or actions that queue nothing would pile up until some
    // words go out, each asking for an answer time meanwhile.
    if (taking_->source && !HasWords(runs_.back().sent)) runs_.pop_back();
    // A run that asked for nothing has nothing to go out.
    if (HasWords(taking_->queued)) unsent_.push_back(Unsent{*taking_, {}});
    taking_.reset();
}

void CommandCheck::WentOut(std::uint16_t command) {
    const unsigned code = frame::CommandCode(command);
    if (code >= command::kCodes) return;
    for (Unsent& u : unsent_)
        if (u.asked.queued[code] == command) u.out[code] = true;
}

std::vector<QueuedRun> CommandCheck::SendsEnded(double now) {
    taking_.reset();
    std::vector<QueuedRun> wentOut;
    for (const Unsent& u : unsent_) {
        QueuedRun run{u.asked.source, {}};
        for (unsigned code = 0; code < command::kCodes; ++code)
            if (u.asked.queued[code] && u.out[code]) run.words.push_back(*u.asked.queued[code]);
        if (!run.words.empty()) wentOut.push_back(std::move(run));
    }
    unsent_.clear();
    runs_.erase(std::remove_if(runs_.begin(), runs_.end(),
                               [](const Open& o) { return !o.sendsEnded && !HasWords(o.sent); }),
                runs_.end());
    for (Open& open : runs_)
        if (!open.sendsEnded) open.sendsEnded = now;
    return wentOut;
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
        // The same sum NextDue names, so that the run ends at the time named.
        if (it->sendsEnded && now >= *it->sendsEnded + kAnswerSeconds) {
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
    std::array<bool, status::kCodes> wanted{};
    bool unreported = false;
    for (const command::CommandField& f : command::kFields) {
        const std::optional<std::uint16_t>& sent = open.sent[f.field.code];
        if (!sent || f.reported == nullptr) continue;
        wanted[f.reported->code] = true;
        const unsigned asked = f.field.Of(*sent);
        const std::optional<std::uint16_t>& word = open.reported[f.reported->code];
        if (!word) {
            unreported = true;
            run.differing.push_back({f.meaning, asked, std::nullopt});
        } else if (!Same(f.meaning, f.reported->Of(*word), asked)) {
            run.differing.push_back({f.meaning, asked, f.reported->Of(*word)});
        }
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
