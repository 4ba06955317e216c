#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "protocol/WordTable.h"

namespace quillane {

// The command words an Apply queues, by code; a code the Apply leaves alone
// has none. The core queues them as one run (ConsoleCore::QueuePageCommands).
struct PageCommands {
    std::array<std::optional<std::uint16_t>, command::kCodes> words;
};

}  // namespace quillane
