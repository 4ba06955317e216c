#pragma once

#include <cstdint>
#include <vector>

#include "protocol/FrameCodec.h"

namespace quillane::testing {

// Reads a byte stream the way the console's receive pass does: skip to a 0x00
// start byte, take four bytes, keep the word if the checksum holds, and count
// codes towards the full-set test (a signal word restarts the sum at 1, a
// power word ends it).
class LineScanner {
public:
    void Feed(const std::vector<std::uint8_t>& bytes) {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        size_t i = 0;
        while (i + 4 <= buffer_.size()) {
            if (buffer_[i] != frame::kStartByte) {
                ++i;
                continue;
            }
            if (frame::ChecksumHolds(buffer_[i + 1], buffer_[i + 2], buffer_[i + 3])) {
                Take(frame::StatusWord(buffer_[i + 1], buffer_[i + 2]));
            } else {
                ++badFrames;
            }
            i += 4;
        }
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(i));
    }

    std::vector<std::uint16_t> words;
    int fullSets = 0;
    int badFrames = 0;

private:
    void Take(std::uint16_t w) {
        words.push_back(w);
        const unsigned code = frame::Code(w);
        counter_ = code == 1 ? 1 : counter_ + static_cast<int>(code);
        if (code == 7) {
            if (counter_ >= 27) ++fullSets;
            counter_ = 0;
        }
    }

    std::vector<std::uint8_t> buffer_;
    int counter_ = 0;
};

}  // namespace quillane::testing
