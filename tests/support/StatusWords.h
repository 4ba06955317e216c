#pragma once

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
