#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "StatusWords.h"
#include "link/ByteLink.h"
#include "protocol/FrameCodec.h"

namespace quillane::test {

using Bytes = std::vector<std::uint8_t>;

// A serial line in memory. What the detector "sends" waits in chunks: a read
// takes at most one chunk, and what it leaves of it stays for the next read,
// so a test can cut the stream where it likes. Every write is kept as it was
// made. The line starts open, as after a successful Open.
class FakeLink : public ByteLink {
public:
    bool Open(int portNumber, int baudRate) override {
        Close();
        openedPorts.push_back(portNumber);
        lastBaud = baudRate;
        open = opensOk;
        return open;
    }
    void Close() override {
        if (open) ++closeCount;
        open = false;
        gone = false;
    }
    bool IsOpen() const override { return open; }
    int Read(std::uint8_t* buffer, int maxBytes) override {
        if (!open) return 0;
        if (throwOnRead) throw std::runtime_error("line fault");
        if (reads.empty()) return 0;
        Bytes& chunk = reads.front();
        const int n = std::min(static_cast<int>(chunk.size()), maxBytes);
        if (n > 0) std::memcpy(buffer, chunk.data(), static_cast<std::size_t>(n));
        chunk.erase(chunk.begin(), chunk.begin() + n);
        if (chunk.empty()) reads.pop_front();
        return n;
    }
    int Write(const std::uint8_t* buffer, int count) override {
        if (!open) return 0;
        writes.emplace_back(buffer, buffer + count);
        return count;
    }

    std::string LastError() const override { return lastError; }
    std::intptr_t ReadableHandle() const override { return open ? readable : kNoReadable; }
    bool DeviceGone() const override { return open && gone; }
    bool GoesSilentWhenGone() const override { return goesSilent; }

    // A chunk of its own: the read that reaches it stops at its end.
    void Script(Bytes chunk) { reads.push_back(std::move(chunk)); }
    // One frame of `w`, joined to the last chunk still waiting.
    void Feed(frame::Word w) {
        const Bytes f = Frames({w});
        if (reads.empty()) reads.emplace_back();
        reads.back().insert(reads.back().end(), f.begin(), f.end());
    }
    // Every byte written, in order, without the boundaries of the writes.
    Bytes Written() const {
        Bytes all;
        for (const Bytes& w : writes) all.insert(all.end(), w.begin(), w.end());
        return all;
    }

    std::deque<Bytes> reads;
    std::vector<Bytes> writes;
    std::vector<int> openedPorts;
    int lastBaud = 0;
    // Closes of an open line only.
    int closeCount = 0;
    bool open = true;
    bool opensOk = true;
    bool throwOnRead = false;
    // The device went away under the open line (a hang-up, an unplug).
    bool gone = false;
    // A line whose device may go away without a failing call (Windows).
    bool goesSilent = false;
    std::string lastError;
    // A line that wakes its reader: any handle but kNoReadable.
    std::intptr_t readable = kNoReadable;
};

}  // namespace quillane::test
