#include "console/line/CommandRun.h"

#include <cstddef>

namespace quillane {

namespace {

// Names in the order of their enumeration.
template <typename Enum, std::size_t N>
const char* NameOf(Enum value, const char* const (&names)[N]) {
    const auto i = static_cast<std::size_t>(value);
    return i < N ? names[i] : "";
}

}  // namespace

const char* CommandSourceName(CommandSource source) {
    static const char* const kNames[] = {"Setup apply",       "Settings apply",
                                         "Device parameters", "Calibration start",
                                         "Calibration stop",  "Automatic defaults"};
    return NameOf(source, kNames);
}

const char* CommandOutcomeName(CommandOutcome outcome) {
    static const char* const kNames[] = {"confirmed", "not confirmed", "timed out"};
    return NameOf(outcome, kNames);
}

}  // namespace quillane
