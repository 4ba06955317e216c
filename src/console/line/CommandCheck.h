#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "console/line/CommandRun.h"
#include "protocol/WordTable.h"

namespace quillane {

// The console's one idea of a command run, and the proof that the detector
// took it. A run is what one action queued: it begins with the action
// (Begin) and takes the words queued until the next pass over the line,
// which starts sending them, or until another action begins; an action of
// the same source before that pass adds to the run, so a command queued
// twice in a row is one run. A word queued with no action begun is a run
// of its own, recorded but not judged.
//
// Nothing acknowledges a command word, so each run of sends is compared
// with the status words that come after its last send: the run is
// confirmed as soon as they report every value sent; when the answer time
// runs out first it is not confirmed (they came, with other values) or
// timed out (some never came). Times are monotonic seconds.
//
// The detector ends with the last word of each code, whatever went out
// before it: only that word is judged. A word queued takes its code from
// every earlier run, sent or not (a calibration start that a stop 20 ms
// later followed is no longer the detector's mode, and the stop's answer is
// not the start's failure); a run left with no word is not judged at all.
class CommandCheck {
public:
    static constexpr double kAnswerSeconds = 2.0;

    // A run that was begun and is dropped unjudged.
    struct Dropped {
        RunId id;
        CommandSource source;
        bool operator==(const Dropped& o) const { return id == o.id && source == o.source; }
    };

    // The words queued from now on are one run of `source`, unless the run
    // taking words has the same source. The run that stops taking words, if
    // it got any.
    std::optional<QueuedRun> Begin(CommandSource source);
    // The run of a source that takes words now, if any.
    std::optional<RunId> Taking() const;
    // A command word queued for sending: it joins the run taking words (or
    // begins one of no source), and takes its code from every earlier run,
    // still sending or waiting for its answer: what they put in that slot is
    // no longer what the detector is asked. The runs left without a word.
    std::vector<Dropped> Queued(std::uint16_t command);
    // The run taking words takes no more (a pass begins sending them, or
    // the record is written out): that run, if it got any words. A run of a
    // source that got none is dropped (no word of it can be judged).
    std::optional<QueuedRun> Close();
    // Every queued word has had its sends: the runs sending until now wait
    // for their answer from now on. A run that got no word is dropped.
    // Closes the run taking words; the caller has done so first.
    void SendsEnded(double now);
    // A status word that passed its checksum; the runs it confirmed.
    std::vector<CommandRun> Reported(std::uint16_t status, double now);
    // The runs whose answer time is over at `now`.
    std::vector<CommandRun> Due(double now);

    // When the next answer time runs out; a run still sending counts as if
    // its sends ended now. None while no run is open.
    std::optional<double> NextDue(double now) const;
    // Some run waits for its answer: only then are status words worth a look.
    bool Waiting() const;
    // Runs begun and neither judged nor dropped. Each code's last word belongs
    // to one run, so with the run taking words they are never more than
    // command::kCodes + 1, whatever the actions.
    std::size_t OpenRuns() const { return runs_.size(); }

private:
    struct Open {
        CommandRun run;
        // What it still stands for on the line: the last word of each code
        // it queued, until a later run takes that slot.
        std::array<std::optional<std::uint16_t>, command::kCodes> sent;
        std::array<std::optional<std::uint16_t>, status::kCodes> reported;
        std::optional<double> sendsEnded;
    };
    // What the status words reported so far make of the run: confirmed when
    // every value sent shows, timed out while a word needed has not come, not
    // confirmed otherwise. Fills the run's sent, reported and differing lists.
    static CommandOutcome Settle(Open& open);
    static CommandRun Finish(Open& open, CommandOutcome outcome, double now);

    // Runs that are judged, oldest first.
    std::vector<Open> runs_;
    RunId lastId_ = 0;
    // The run taking words, with all it asked: the newest of runs_, or a run
    // of no source, which only the record hears of.
    struct TakingRun {
        std::optional<CommandSource> source;
        std::array<std::optional<std::uint16_t>, command::kCodes> queued;
    };
    std::optional<TakingRun> taking_;
};

}  // namespace quillane
