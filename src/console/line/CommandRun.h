#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/WordTable.h"

namespace quillane {

// Nothing on the line acknowledges a command: the detector shows that it took
// one only in its next status words. A command run is what one action of the
// installer (or of the console at detection) queued, and its outcome is what
// those status words said within the answer time.

// The action that queued a run, and so the place where its outcome is shown.
enum class CommandSource : std::uint8_t {
    SetupApply,        // btnApplaySense
    SettingsApply,     // btnApplayRange
    DeviceParameters,  // btnParamSet
    CalibrationStart,  // the Calibration page came into view
    CalibrationStop,   // a page took the detector out of calibration
    AutoDefaults,      // the automatic defaults at detection
};

// Which run: a number of its own, counted from 1 as runs begin.
using RunId = std::uint32_t;

enum class CommandOutcome : std::uint8_t {
    Confirmed,     // the detector reported every value sent
    NotConfirmed,  // it answered, but with other values
    TimedOut,      // no status word of some value sent came back in time
};

// A value sent that the detector's status words do not show: what was asked
// of the field, and what the detector reports instead (nothing when no status
// word of that field came back).
struct FieldAnswer {
    command::Meaning meaning = command::Meaning::Mode;
    unsigned sent = 0;
    std::optional<unsigned> reported;
    bool operator==(const FieldAnswer& o) const {
        return meaning == o.meaning && sent == o.sent && reported == o.reported;
    }
};

// One run of sends and what the detector made of it: a plain value, built by
// the core once the outcome is known.
struct CommandRun {
    RunId id = 0;
    CommandSource source = CommandSource::SetupApply;
    // The command words of the run, the last one queued for each code, in
    // code order (code in bits 13-14).
    std::vector<std::uint16_t> sent;
    // The status words compared with them: the last one of each code that
    // came after the sends, in code order (code in bits 13-15). A code that
    // did not come back is missing.
    std::vector<std::uint16_t> reported;
    // The fields whose status does not show what was sent, unreported ones
    // included, in the order of the word table; empty when confirmed.
    std::vector<FieldAnswer> differing;
    CommandOutcome outcome = CommandOutcome::TimedOut;
    // Monotonic seconds from the end of the sends to the outcome.
    double seconds = 0.0;
};

// The words one action queued (the last one of each code, in code order),
// once the run takes no more: what the site record says was asked. A run
// that no action named has no source.
struct QueuedRun {
    std::optional<CommandSource> source;
    std::vector<std::uint16_t> words;
};

// "Setup apply", "Calibration start", ...: the action in the installer's words.
const char* CommandSourceName(CommandSource source);
// "confirmed", "not confirmed", "timed out".
const char* CommandOutcomeName(CommandOutcome outcome);

}  // namespace quillane
