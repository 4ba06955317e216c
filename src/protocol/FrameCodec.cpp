#include "protocol/FrameCodec.h"

namespace quillane {
namespace frame {

namespace {
constexpr unsigned kLowMarker = 0x80u;

Word Build(unsigned code, unsigned highBits, unsigned lowBits) {
    const unsigned high = ((code & 0x3u) << 5) | (highBits & 0x1Fu);
    const unsigned low = kLowMarker | (lowBits & 0x7Fu);
    return static_cast<Word>((high << 8) | low);
}
}  // namespace

Word Command0(unsigned adr, unsigned senspp, unsigned state) {
    return Build(0, adr & 0xFu, ((state & 0x3u) << 5) | (senspp & 0x1Fu));
}

Word Command1(unsigned sensmp, unsigned sensbp, unsigned letter) {
    return Build(1, sensmp & 0x1Fu, ((letter & 0x3u) << 5) | (sensbp & 0x1Fu));
}

Word Command2(unsigned minSpd, unsigned maxSpd, unsigned dist, unsigned reg) {
    return Build(2, ((maxSpd & 0x3u) << 2) | (minSpd & 0x3u), ((reg & 0x3u) << 5) | (dist & 0x1Fu));
}

}  // namespace frame
}  // namespace quillane
