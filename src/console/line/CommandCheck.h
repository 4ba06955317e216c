#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "console/line/CommandRun.h"
#include "protocol/WordTable.h"

namespace quillane {

// Proof that the detector took a command. Nothing acknowledges a command word,
// so each run of sends is compared with the status words that come after its
// last send: the run is confirmed as soon as they report every value sent;
// when the answer time runs out first it is not confirmed (they came, with
// other values) or timed out (some never came). Times are monotonic seconds.
class CommandCheck {
public:
    static constexpr double kAnswerSeconds = 2.0;

    // The words queued from now on are one run of `source`, until the queue
    // has sent them all. A run of the same source that is still sending takes
    // them instead, so a command queued twice in a row is checked once.
    void Begin(CommandSource source);
    // A command word queued for sending. It belongs to the newest run still
    // sending and replaces that run's word of its code; with no run sending
    // (nothing began one) it is not checked.
    void Queued(std::uint16_t command);
    // Every queued word has had its sends: the runs sending until now wait
    // for their answer from now on. A run that got no word is dropped.
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

private:
    struct Open {
        CommandRun run;
        std::array<std::optional<std::uint16_t>, command::kCodes> sent;
        std::array<std::optional<std::uint16_t>, status::kCodes> reported;
        std::optional<double> sendsEnded;
    };
    // What the status words reported so far make of the run: confirmed when
    // every value sent shows, timed out while a word needed has not come, not
    // confirmed otherwise. Fills the run's sent, reported and differing lists.
    static CommandOutcome Settle(Open& open);
    static CommandRun Finish(Open& open, CommandOutcome outcome, double now);

    std::vector<Open> runs_;
};

}  // namespace quillane
