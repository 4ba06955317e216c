#pragma once

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/ByteLink.h"
#include "protocol/FrameCodec.h"

namespace quillane::test {

// A serial line in memory: what the detector "sends" waits in `incoming`,
// what the console writes lands in `written`.
class FakeLink : public ByteLink {
public:
    bool Open(int portNumber, int) override {
        Close();
        ++openCount;
        openedPort = portNumber;
        open = openSucceeds;
        return open;
    }
    void Close() override {
        if (open) ++closeCount;
        open = false;
    }
    bool IsOpen() const override { return open; }
    int Read(std::uint8_t* buffer, int maxBytes) override {
        if (!open) return 0;
        if (failReads) throw std::runtime_error("line fault");
        int n = 0;
        while (n < maxBytes && !incoming.empty()) {
            buffer[n++] = incoming.front();
            incoming.pop_front();
        }
        return n;
    }
    int Write(const std::uint8_t* buffer, int count) override {
        if (!open) return 0;
        written.insert(written.end(), buffer, buffer + count);
        return count;
    }

    std::string LastError() const override { return lastError; }

    void Feed(frame::Word w) {
        const frame::Frame f = frame::IncomingFrame(w);
        incoming.insert(incoming.end(), f.begin(), f.end());
    }

    bool openSucceeds = true;
    std::string lastError;
    bool failReads = false;
    bool open = false;
    int openedPort = -1;
    int openCount = 0;
    int closeCount = 0;
    std::deque<std::uint8_t> incoming;
    std::vector<std::uint8_t> written;
};

}  // namespace quillane::test
