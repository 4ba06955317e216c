#pragma once

#include <array>
#include <cstdint>

#include "protocol/WordTable.h"

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
constexpr unsigned Code(Word w) { return status::kCode.Of(w); }
constexpr std::uint8_t High(Word w) { return static_cast<std::uint8_t>(w >> 8); }
constexpr std::uint8_t Low(Word w) { return static_cast<std::uint8_t>(w & 0xFF); }

// Fields of the status words (WordTable.h says where each lies).
constexpr unsigned Sig(Word w) { return status::kSig.Of(w); }
constexpr unsigned Pp(Word w) { return status::kPp.Of(w); }
constexpr unsigned Mp(Word w) { return status::kMp.Of(w); }
constexpr unsigned Bp(Word w) { return status::kBp.Of(w); }
constexpr unsigned Aver(Word w) { return status::kAver.Of(w); }
constexpr unsigned State(Word w) { return status::kState.Of(w); }
constexpr unsigned SensMp(Word w) { return status::kSensMp.Of(w); }
constexpr unsigned SensPp(Word w) { return status::kSensPp.Of(w); }
constexpr unsigned Dist(Word w) { return status::kDist.Of(w); }
constexpr unsigned Regul(Word w) { return status::kRegul.Of(w); }
constexpr unsigned SensBp(Word w) { return status::kSensBp.Of(w); }
constexpr unsigned VelMin(Word w) { return status::kVelMin.Of(w); }
constexpr unsigned VelMax(Word w) { return status::kVelMax.Of(w); }
constexpr unsigned Amplif(Word w) { return status::kAmplif.Of(w); }
constexpr unsigned Ref(Word w) { return status::kRef.Of(w); }
constexpr unsigned Dis(Word w) { return status::kDis.Of(w); }
constexpr unsigned Dev(Word w) { return status::kDev.Of(w); }
constexpr unsigned Prog(Word w) { return status::kProg.Of(w); }
constexpr unsigned Letter(Word w) { return status::kLetter.Of(w); }
constexpr unsigned Adr(Word w) { return status::kAdr.Of(w); }
constexpr unsigned Pwr(Word w) { return status::kPwr.Of(w); }

// Command words, built from their fields' values.
constexpr Word Command0(unsigned adr, unsigned senspp, unsigned state) {
    return command::Build(command::kModeWord, {adr, senspp, state});
}
constexpr Word Command1(unsigned sensmp, unsigned sensbp, unsigned letter) {
    return command::Build(command::kThresholdsWord, {sensmp, sensbp, letter});
}
constexpr Word Command2(unsigned minSpd, unsigned maxSpd, unsigned dist, unsigned reg) {
    return command::Build(command::kZoneWord, {minSpd, maxSpd, dist, reg});
}
constexpr unsigned CommandCode(Word w) { return command::kCode.Of(w); }

// Fields of the command words.
constexpr unsigned CmdAdr(Word w) { return command::kAdr.Of(w); }
constexpr unsigned CmdSensPp(Word w) { return command::kSensPp.Of(w); }
constexpr unsigned CmdState(Word w) { return command::kState.Of(w); }
constexpr unsigned CmdSensMp(Word w) { return command::kSensMp.Of(w); }
constexpr unsigned CmdSensBp(Word w) { return command::kSensBp.Of(w); }
constexpr unsigned CmdLetter(Word w) { return command::kLetter.Of(w); }
constexpr unsigned CmdMinSpd(Word w) { return command::kMinSpd.Of(w); }
constexpr unsigned CmdMaxSpd(Word w) { return command::kMaxSpd.Of(w); }
constexpr unsigned CmdDist(Word w) { return command::kDist.Of(w); }
constexpr unsigned CmdReg(Word w) { return command::kReg.Of(w); }

// Outgoing frame: the command word twice, high byte first.
constexpr Frame OutgoingFrame(Word w) { return Frame{High(w), Low(w), High(w), Low(w)}; }

// Incoming frame carrying a status word (what a detector sends).
constexpr Frame IncomingFrame(Word w) {
    return Frame{kStartByte, High(w), Low(w), Checksum(High(w), Low(w))};
}

}  // namespace frame
}  // namespace quillane
