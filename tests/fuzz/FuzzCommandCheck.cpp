// The command check fed any sequence of what the core tells it: actions
// beginning, words queued, sends ending, status words (echoes of the words
// queued, or anything), and time passing, also by leaps. It must judge only
// runs whose words all went out and are still the last of their code, judge
// each run once and never one it dropped, settle on outcomes that agree with
// what it lists, plan its next answer time neither in the past nor past one
// answer time from now, and keep no more runs open than the line can hold.
//
// Input: a list of steps, one byte each (the step in the low 3 bits, its
// argument in the rest), some followed by one or two bytes of their own.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <vector>

#include "FuzzInput.h"
#include "console/line/CommandCheck.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

using fuzz::Check;
using fuzz::Input;

constexpr int kSources = 6;

class Driver {
public:
    void Step(Input& in) {
        const unsigned op = in.Next<std::uint8_t>();
        const unsigned arg = op >> 3;
        switch (op & 7u) {
            case 0:
                check_.Begin(static_cast<CommandSource>(arg % kSources));
                break;
            case 1:
                Queue(in.Next<std::uint16_t>());
                break;
            case 2:
                // A command word with a valid code and the values it had last.
                Queue(last_[arg % command::kCodes].value_or(0) ^ (in.Next<std::uint8_t>() & 0x1f));
                break;
            case 3:
                // The pass that begins sending closes the run taking words;
                // the sends end later, every queued word gone out.
                check_.Close();
                if (arg & 1u) {
                    check_.SendsEnded(now_);
                    pending_.fill(false);
                }
                break;
            case 4:
                Report(in.Next<std::uint16_t>());
                break;
            case 5:
                Report(Echo(arg % status::kCodes, in.Next<std::uint8_t>()));
                break;
            case 6:
                // Time passes: mostly a little, sometimes by a leap.
                now_ += arg < 24 ? arg * 0.05 : arg * 1.0e3;
                break;
            default:
                break;  // only the answer times are looked at
        }
        Invariants();
    }

private:
    void Queue(std::uint16_t word) {
        const unsigned code = frame::CommandCode(word);
        for (const CommandCheck::Dropped& d : check_.Queued(word)) {
            Check(judged_.count(d.id) == 0 && dropped_.insert(d.id).second);
        }
        if (code >= command::kCodes) return;
        last_[code] = word;
        pending_[code] = true;
    }

    // A status word of `code` that reports what the last words queued ask,
    // with some of its bits turned by `noise`.
    std::uint16_t Echo(unsigned code, std::uint8_t noise) const {
        unsigned word = status::kCode.Put(code);
        for (const command::CommandField& f : command::kFields) {
            if (f.reported == nullptr || f.reported->code != code) continue;
            if (const auto& sent = last_[f.field.code]) word |= f.reported->Put(f.field.Of(*sent));
        }
        return static_cast<std::uint16_t>(word ^ (noise & 0x0f ? 0u : noise));
    }

    void Report(std::uint16_t status) {
        const bool waiting = check_.Waiting();
        lastStatus_[frame::Code(status)] = status;
        const std::vector<CommandRun> confirmed = check_.Reported(status, now_);
        Check(waiting || confirmed.empty());
        Judged(confirmed, true);
    }

    void Judged(const std::vector<CommandRun>& runs, bool byReport) {
        for (const CommandRun& run : runs) {
            // Once, and never a run it dropped.
            Check(dropped_.count(run.id) == 0 && judged_.insert(run.id).second);
            Check(!run.sent.empty());
            unsigned previous = 0;
            for (std::size_t i = 0; i < run.sent.size(); ++i) {
                const unsigned code = frame::CommandCode(run.sent[i]);
                Check(i == 0 || code > previous);
                previous = code;
                // Only what the detector is asked last, and only once it went out.
                Check(code < command::kCodes && !pending_[code] && last_[code] == run.sent[i]);
            }
            for (const std::uint16_t word : run.reported)
                Check(lastStatus_[frame::Code(word)] == word);
            bool unreported = false;
            for (const FieldAnswer& a : run.differing) unreported |= !a.reported.has_value();
            switch (run.outcome) {
                case CommandOutcome::Confirmed:
                    Check(run.differing.empty());
                    break;
                case CommandOutcome::NotConfirmed:
                    Check(!run.differing.empty() && !unreported && !byReport);
                    break;
                case CommandOutcome::TimedOut:
                    Check(unreported && !byReport);
                    break;
            }
            Check(std::isfinite(run.seconds) && run.seconds >= 0);
            // Ended by the answer time: its seconds are that time, but for the
            // rounding of a difference of two moments.
            if (!byReport) Check(run.seconds >= CommandCheck::kAnswerSeconds - 1e-9);
        }
    }

    void Invariants() {
        // Nothing overdue is left once the answer times were looked at.
        const std::vector<CommandRun> due = check_.Due(now_);
        Judged(due, false);
        if (const std::optional<double> next = check_.NextDue(now_))
            Check(*next > now_ && *next <= now_ + CommandCheck::kAnswerSeconds);
        // One run holds each code at most, and one more takes words.
        Check(check_.OpenRuns() <= command::kCodes + 1);
    }

    CommandCheck check_;
    double now_ = 1000.0;
    std::array<std::optional<std::uint16_t>, command::kCodes> last_{};
    std::array<bool, command::kCodes> pending_{};
    std::array<std::optional<std::uint16_t>, status::kCodes> lastStatus_{};
    std::set<RunId> judged_, dropped_;
};

}  // namespace
}  // namespace quillane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    quillane::fuzz::Input in(data, size);
    quillane::Driver driver;
    while (!in.Done()) driver.Step(in);
    return 0;
}
