#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "protocol/WordTable.h"

namespace quillane {

class ByteLink;
class ExchangeLog;

// The command slots, one per command code, and the transmit pass. Nothing
// acknowledges a command, so each queued word goes out seven times in a row; a
// word of a higher-priority code queued meanwhile takes over the sends left in
// the run, and the interrupted word gets a full run afterwards.
class CommandQueue {
public:
    static constexpr int kRepeats = 7;

    // Stores the word of command code `code`, replacing one still
    // pending there; nothing is sent at once.
    void Queue(unsigned code, std::uint16_t word);
    // One transmit pass: at most one frame written and logged. The command
    // word of the frame when the line took all of it.
    std::optional<std::uint16_t> Send(ByteLink& port, ExchangeLog& log);

    bool bCmdPending() const { return pending_; }
    int iSendRepeatCounter() const { return repeatCounter_; }
    bool SlotPending(unsigned code) const { return slots_[code % command::kCodes].pending; }
    std::uint16_t SlotWord(unsigned code) const { return slots_[code % command::kCodes].word; }

private:
    struct Slot {
        std::uint16_t word = 0;
        bool pending = false;
    };
    bool AnySlotPending() const;

    std::array<Slot, command::kCodes> slots_{};
    bool pending_ = false;
    int repeatCounter_ = kRepeats;
};

}  // namespace quillane
