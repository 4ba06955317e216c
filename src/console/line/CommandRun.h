#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

enum class CommandOutcome : std::uint8_t {
    Confirmed,     // the detector reported every value sent
    NotConfirmed,  // it answered, but with other values
    TimedOut,      // no status word of some value sent came back in time
};

// One run of sends and what the detector made of it: a plain value, built by
// the core once the outcome is known.
struct CommandRun {
    CommandSource source = CommandSource::SetupApply;
    // The command words of the run, the last one queued for each code, in
    // code order (code in bits 13-14).
    std::vector<std::uint16_t> sent;
    // The status words compared with them: the last one of each code that
    // came after the sends, in code order (code in bits 13-15). A code that
    // did not come back is missing.
    std::vector<std::uint16_t> reported;
    // The status fields that do not show what was sent, named by the exchange
    // log's keys ("senspp", "state", ...), unreported ones included; empty when
    // confirmed.
    std::vector<std::string> differing;
    CommandOutcome outcome = CommandOutcome::TimedOut;
    // Monotonic seconds from the end of the sends to the outcome.
    double seconds = 0.0;
};

// The words of one action that went out (the last one of each code, in code
// order), once the run's sends are over: what the site record says was
// asked. A run that no action named has no source.
struct QueuedRun {
    std::optional<CommandSource> source;
    std::vector<std::uint16_t> words;
};

// "Setup apply", "Calibration start", ...: the action in the installer's words.
const char* CommandSourceName(CommandSource source);
// "confirmed", "not confirmed", "timed out".
const char* CommandOutcomeName(CommandOutcome outcome);

}  // namespace quillane
