#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "protocol/FrameCodec.h"

// Status words as a detector sends them, one builder per code.
namespace quillane::test::word {

constexpr frame::Word Code(unsigned code, unsigned fields) {
    return static_cast<frame::Word>((code << 13) | fields);
}
constexpr frame::Word Signal(unsigned sig) { return Code(1, sig & 0x3FF); }
constexpr frame::Word State(unsigned state, unsigned aver = 500) {
    return Code(2, (state << 10) | aver);
}
constexpr frame::Word Sens(unsigned senspp, unsigned sensmp) {
    return Code(3, (senspp << 8) | sensmp);
}
constexpr frame::Word Zone(unsigned regul, unsigned dist, unsigned sensbp = 10) {
    return Code(4, (sensbp << 8) | (regul << 5) | dist);
}
constexpr frame::Word Speed(unsigned dis, unsigned velMin = 2, unsigned velMax = 1,
                            unsigned amplif = 0, unsigned ref = 0) {
    return Code(5, (dis << 11) | (ref << 10) | (amplif << 8) | (velMax << 2) | velMin);
}
constexpr frame::Word Identity(unsigned dev, unsigned prog, unsigned letter, unsigned adr) {
    return Code(6, (adr << 8) | (letter << 6) | (prog << 3) | dev);
}
constexpr frame::Word Power(unsigned pwr) { return Code(7, pwr); }

}  // namespace quillane::test::word

namespace quillane::test {

// A full set (codes 2-7) in the order a detector sends it: what makes the
// console take the detector as linked. By default a Normal detector, manual
// method, sensitivity 10, zone 10, model 2, program 3, letter 1, address 9,
// power 370; a test changes the words it needs.
struct LinkUpSet {
    frame::Word state = word::State(0);
    frame::Word sens = word::Sens(10, 10);
    frame::Word zone = word::Zone(0, 10);
    frame::Word speed = word::Speed(0);
    frame::Word identity = word::Identity(2, 3, 1, 9);
    frame::Word power = word::Power(370);

    std::array<frame::Word, 6> Words() const { return {state, sens, zone, speed, identity, power}; }
};

// The bytes of the frames that carry the words, as they come down the line.
template <typename Words>
std::vector<std::uint8_t> Frames(const Words& words) {
    std::vector<std::uint8_t> bytes;
    for (frame::Word w : words) {
        const frame::Frame f = frame::IncomingFrame(w);
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    return bytes;
}
inline std::vector<std::uint8_t> Frames(std::initializer_list<frame::Word> words) {
    return Frames<std::initializer_list<frame::Word>>(words);
}

// The field values of the command words an Apply queues, word by word in code
// order, each word's in the order of its builder's arguments.
inline std::vector<unsigned> CommandValues(
    const std::array<std::optional<frame::Word>, command::kCodes>& words) {
    std::vector<unsigned> values;
    for (const auto& w : words)
        for (const command::CommandField& f : command::kFields)
            if (w && f.field.code == frame::CommandCode(*w)) values.push_back(f.field.Of(*w));
    return values;
}

}  // namespace quillane::test
