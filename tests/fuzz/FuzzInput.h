#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace quillane::fuzz {

// A broken invariant ends the run as a finding, in every build type, and
// says which line of the target it broke.
inline void Check(bool holds, int line = __builtin_LINE()) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken at line %d\n", line);
    std::abort();
}

// Reads a fuzzer's input front to back; past its end every value is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T>
    T Next() {
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char& b : bytes) b = pos_ < size_ ? data_[pos_++] : 0;
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    bool Done() const { return pos_ >= size_; }
    // Up to `n` of the next bytes into `out`; how many there were.
    std::size_t Read(void* out, std::size_t n) {
        n = std::min(n, size_ - pos_);
        if (n > 0) std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    // The bytes up to the next `end` (passed over) or the input's end.
    std::string_view Until(char end) {
        const std::string_view rest = Rest();
        const std::size_t n = std::min(rest.find(end), rest.size());
        pos_ += std::min(n + 1, rest.size());
        return rest.substr(0, n);
    }
    std::string_view Rest() const {
        return {reinterpret_cast<const char*>(data_) + pos_, size_ - pos_};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace quillane::fuzz
