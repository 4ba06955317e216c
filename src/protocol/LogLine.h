#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillane {

// A line of the exchange log built in place. The receive pass logs every frame
// it sees, so building a line must not touch the heap; text beyond the capacity
// is cut off rather than overrunning the buffer.
class LogLine {
public:
    static constexpr std::size_t kCapacity = 256;

    LogLine& Text(std::string_view text);
    LogLine& Char(char c);
    // Decimal, no padding.
    LogLine& Number(unsigned value);
    // Decimal with leading zeros to at least `width` digits.
    LogLine& Padded(unsigned value, int width);
    // A log key followed by its value in decimal ("sig:" 1023).
    LogLine& Field(std::string_view key, unsigned value) { return Text(key).Number(value); }
    // Two upper-case hexadecimal digits.
    LogLine& Hex2(std::uint8_t value);

    std::string_view View() const { return std::string_view(buffer_.data(), size_); }
    std::size_t Size() const { return size_; }
    void Clear() { size_ = 0; }

private:
    std::array<char, kCapacity> buffer_{};
    std::size_t size_ = 0;
};

}  // namespace quillane
