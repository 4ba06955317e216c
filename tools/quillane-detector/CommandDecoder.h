#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillane {

// Turns the bytes the console writes into command words. A command goes out as
// high, low, high, low; a high byte has bit 7 clear and a low byte bit 7 set,
// which is all there is to find the word boundaries again after line noise or a
// read that split a frame. A word counts only when both copies agree.
class CommandDecoder {
public:
    // Words completed by these bytes, in order; partial frames carry over.
    std::vector<std::uint16_t> Feed(const std::uint8_t* bytes, std::size_t count);
    // Copies that disagreed, for the verbose trace.
    long long Rejected() const { return rejected_; }

private:
    void Take(std::uint8_t byte, std::vector<std::uint16_t>* words);

    std::uint8_t pending_[4] = {0, 0, 0, 0};
    int have_ = 0;            // bytes of the frame so far
    long long rejected_ = 0;  // a garbling console may run for weeks
};

// A command word as the trace prints it: "cmd code:0 adr:5 senspp:10 state:1".
std::string DescribeCommand(std::uint16_t word);

}  // namespace quillane
