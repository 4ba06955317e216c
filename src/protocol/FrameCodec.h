#pragma once

#include <array>
#include <cstdint>

namespace quillane {

// Bytes <-> words of the detector line. Every field is an unsigned integer cut
// out with a mask; every value sent is masked to its field width.
namespace frame {

using Word = std::uint16_t;
using Frame = std::array<std::uint8_t, 4>;

constexpr std::uint8_t kStartByte = 0x00;
constexpr int kFrameSize = 4;

// 8-bit sum of the two data bytes of an incoming frame.
constexpr std::uint8_t Checksum(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint8_t>((high + low) & 0xFF);
}
constexpr Word StatusWord(std::uint8_t high, std::uint8_t low) {
    return static_cast<Word>((high << 8) | low);
}
constexpr bool ChecksumHolds(std::uint8_t high, std::uint8_t low, std::uint8_t sum) {
    return Checksum(high, low) == sum;
}
constexpr unsigned Code(Word w) { return (w >> 13) & 0x7u; }
constexpr std::uint8_t High(Word w) { return static_cast<std::uint8_t>(w >> 8); }
constexpr std::uint8_t Low(Word w) { return static_cast<std::uint8_t>(w & 0xFF); }

// Code 1: signal word.
constexpr unsigned Sig(Word w) { return w & 0x3FFu; }
constexpr unsigned Pp(Word w) { return (w >> 10) & 0x1u; }
constexpr unsigned Mp(Word w) { return (w >> 11) & 0x1u; }
constexpr unsigned Bp(Word w) { return (w >> 12) & 0x1u; }
// Code 2: state word.
constexpr unsigned Aver(Word w) { return w & 0x3FFu; }
constexpr unsigned State(Word w) { return (w >> 10) & 0x7u; }
// Code 3: sensitivity word.
constexpr unsigned SensMp(Word w) { return w & 0x1Fu; }
constexpr unsigned SensPp(Word w) { return (w >> 8) & 0x1Fu; }
// Code 4: zone word.
constexpr unsigned Dist(Word w) { return w & 0x1Fu; }
constexpr unsigned Regul(Word w) { return (w >> 5) & 0x3u; }
constexpr unsigned SensBp(Word w) { return (w >> 8) & 0x1Fu; }
// Code 5: speed and warning word.
constexpr unsigned VelMin(Word w) { return w & 0x3u; }
constexpr unsigned VelMax(Word w) { return (w >> 2) & 0x3u; }
constexpr unsigned Amplif(Word w) { return (w >> 8) & 0x3u; }
constexpr unsigned Ref(Word w) { return (w >> 10) & 0x1u; }
constexpr unsigned Dis(Word w) { return (w >> 11) & 0x3u; }
// Code 6: identity word.
constexpr unsigned Dev(Word w) { return w & 0x7u; }
constexpr unsigned Prog(Word w) { return (w >> 3) & 0x7u; }
constexpr unsigned Letter(Word w) { return (w >> 6) & 0x3u; }
constexpr unsigned Adr(Word w) { return (w >> 8) & 0xFu; }
// Code 7: power word.
constexpr unsigned Pwr(Word w) { return w & 0x3FFu; }

// Command words: high byte bit 7 clear, low byte bit 7 set, code in bits 5-6
// of the high byte.
Word Command0(unsigned adr, unsigned senspp, unsigned state);
Word Command1(unsigned sensmp, unsigned sensbp, unsigned letter);
Word Command2(unsigned minSpd, unsigned maxSpd, unsigned dist, unsigned reg);
constexpr unsigned CommandCode(Word w) { return (w >> 13) & 0x3u; }

// Fields of a command word, for the "Out:" line.
constexpr unsigned CmdAdr(Word w) { return (w >> 8) & 0xFu; }
constexpr unsigned CmdSensPp(Word w) { return w & 0x1Fu; }
constexpr unsigned CmdState(Word w) { return (w >> 5) & 0x3u; }
constexpr unsigned CmdSensMp(Word w) { return (w >> 8) & 0x1Fu; }
constexpr unsigned CmdSensBp(Word w) { return w & 0x1Fu; }
constexpr unsigned CmdLetter(Word w) { return (w >> 5) & 0x3u; }
constexpr unsigned CmdMinSpd(Word w) { return (w >> 8) & 0x3u; }
constexpr unsigned CmdMaxSpd(Word w) { return (w >> 10) & 0x3u; }
constexpr unsigned CmdDist(Word w) { return w & 0x1Fu; }
constexpr unsigned CmdReg(Word w) { return (w >> 5) & 0x3u; }

// Outgoing frame: the command word twice, high byte first.
constexpr Frame OutgoingFrame(Word w) { return Frame{High(w), Low(w), High(w), Low(w)}; }

// Incoming frame carrying a status word (what a detector sends).
constexpr Frame IncomingFrame(Word w) {
    return Frame{kStartByte, High(w), Low(w), Checksum(High(w), Low(w))};
}

}  // namespace frame
}  // namespace quillane
