#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/ByteLink.h"

namespace quillane::test {

using Bytes = std::vector<std::uint8_t>;

// A serial line whose reads are scripted chunk by chunk and whose writes are
// recorded. A chunk longer than a read asks for stays for the next read.
class FakeLink : public ByteLink {
public:
    bool Open(int portNumber, int baudRate) override {
        openedPorts.push_back(portNumber);
        lastBaud = baudRate;
        open = opensOk;
        return open;
    }
    void Close() override {
        ++closeCount;
        open = false;
    }
    bool IsOpen() const override { return open; }
    int Read(std::uint8_t* buffer, int maxBytes) override {
        if (throwOnRead) throw std::runtime_error("line broke");
        if (!open || reads.empty()) return 0;
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

    void Script(Bytes chunk) { reads.push_back(std::move(chunk)); }

    std::deque<Bytes> reads;
    std::vector<Bytes> writes;
    std::vector<int> openedPorts;
    int lastBaud = 0;
    int closeCount = 0;
    bool open = true;
    bool opensOk = true;
    bool throwOnRead = false;
    std::string lastError;
};

}  // namespace quillane::test
