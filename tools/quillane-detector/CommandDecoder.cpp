#include "CommandDecoder.h"

#include "protocol/FrameCodec.h"

namespace quillane {

namespace {

bool IsLowByte(std::uint8_t b) { return (b & 0x80) != 0; }

}  // namespace

std::vector<std::uint16_t> CommandDecoder::Feed(const std::uint8_t* bytes, std::size_t count) {
    std::vector<std::uint16_t> words;
    for (std::size_t i = 0; i < count; ++i) Take(bytes[i], &words);
    return words;
}

void CommandDecoder::Take(std::uint8_t byte, std::vector<std::uint16_t>* words) {
    const bool wantLow = (have_ % 2) == 1;
    if (IsLowByte(byte) != wantLow) {
        // Out of step: a high byte starts a frame afresh, a stray low byte
        // belongs to nothing we can use.
        have_ = 0;
        if (IsLowByte(byte)) return;
    }
    pending_[have_++] = byte;
    if (have_ < 4) return;
    if (pending_[0] == pending_[2] && pending_[1] == pending_[3]) {
        words->push_back(frame::StatusWord(pending_[0], pending_[1]));
        have_ = 0;
        return;
    }
    // The second pair may be the first copy of the next good frame, when
    // noise came just before it.
    ++rejected_;
    pending_[0] = pending_[2];
    pending_[1] = pending_[3];
    have_ = 2;
}

std::string DescribeCommand(std::uint16_t w) {
    const unsigned code = frame::CommandCode(w);
    std::string text = "cmd code:" + std::to_string(code);
    if (code >= command::kCodes) return text + " (no such command)";
    for (const command::CommandField& f : command::kFields)
        if (f.field.code == code)
            text += std::string(" ") + f.field.key + ":" + std::to_string(f.field.Of(w));
    return text;
}

}  // namespace quillane
