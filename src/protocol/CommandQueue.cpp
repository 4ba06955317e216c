#include "protocol/CommandQueue.h"

#include "link/ByteLink.h"
#include "protocol/ExchangeLog.h"
#include "protocol/FrameCodec.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane {

void CommandQueue::Queue(unsigned code, std::uint16_t word) {
    Slot& slot = slots_[code % command::kCodes];
    slot.word = word;
    slot.pending = true;
    pending_ = true;
}

bool CommandQueue::AnySlotPending() const {
    for (const Slot& s : slots_)
        if (s.pending) return true;
    return false;
}

std::optional<std::uint16_t> CommandQueue::Send(ByteLink& port, ExchangeLog& log) {
    if (!pending_) return std::nullopt;
    Slot* slot = nullptr;
    for (Slot& s : slots_) {
        if (s.pending) {
            slot = &s;
            break;
        }
    }
    if (slot == nullptr) {  // flag out of step with the slots: nothing to send
        pending_ = false;
        return std::nullopt;
    }
    --repeatCounter_;
    const std::uint16_t word = slot->word;
    const frame::Frame out = frame::OutgoingFrame(word);
    slot->pending = repeatCounter_ != 0;
    if (repeatCounter_ == 0) repeatCounter_ = kRepeats;
    // A closed port accepts nothing; the run is used up all the same, and the
    // log shows "send:0".
    const int sent = port.Write(out.data(), frame::kFrameSize);
    LogLine line;
    logformat::OutText(line, out, sent, word);
    log.WriteLog(line.View());
    pending_ = AnySlotPending();
    if (sent != frame::kFrameSize) return std::nullopt;
    return word;
}

}  // namespace quillane
