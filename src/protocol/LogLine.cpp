#include "protocol/LogLine.h"

#include <algorithm>
#include <cstring>

namespace quillane {

LogLine& LogLine::Text(std::string_view text) {
    const std::size_t n = std::min(text.size(), kCapacity - size_);
    std::memcpy(buffer_.data() + size_, text.data(), n);
    size_ += n;
    return *this;
}

LogLine& LogLine::Char(char c) {
    if (size_ < kCapacity) buffer_[size_++] = c;
    return *this;
}

LogLine& LogLine::Number(unsigned value) { return Padded(value, 1); }

LogLine& LogLine::Padded(unsigned value, int width) {
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = count; i < width; ++i) Char('0');
    while (count > 0) Char(digits[--count]);
    return *this;
}

LogLine& LogLine::Hex2(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    Char(kDigits[value >> 4]);
    return Char(kDigits[value & 0xF]);
}

}  // namespace quillane
