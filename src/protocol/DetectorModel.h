#pragma once

#include <array>
#include <cstdint>

#include "protocol/WordTable.h"

namespace quillane {

// The console's picture of the detector: the last status word of each code and
// the previous one (only codes 1 and 2 ever move a word there). Every word reads
// 0x0101 until the detector sends it, so the first real word always counts as a
// change.
struct DetectorModel {
    static constexpr std::uint16_t kResetWord = 0x0101;

    std::array<std::uint16_t, status::kCodes> current{};
    std::array<std::uint16_t, status::kCodes> previous{};

    DetectorModel() { Reset(); }
    void Reset() {
        current.fill(kResetWord);
        previous.fill(kResetWord);
    }
    // By status code (status::kSignalWord ...).
    std::uint16_t Word(unsigned code) const { return current[code % status::kCodes]; }
    std::uint16_t Previous(unsigned code) const { return previous[code % status::kCodes]; }
};

// Link states in their numeric order; "linked" means above EDevNone.
enum DeviceState : signed char { EDevNone = 0, EDevDetect = 1, EDevWork = 2, EDevAllPakets = 3 };

}  // namespace quillane
