#pragma once

#include <cstdint>
#include <initializer_list>

namespace quillane {

// The detector's words field by field: the one place that says which bits of
// which word carry what. The frame codec's accessors, the exchange log, the
// command check, the site record's meanings and the virtual detector all go
// by these tables, so a field or a word is added here once.
namespace words {

using Word = std::uint16_t;

// `width` bits from bit `shift` of a word of code `code`, named by its key in
// the exchange log ("sig", "senspp", ...).
struct Field {
    unsigned code;
    const char* key;
    unsigned shift;
    unsigned width;

    constexpr unsigned Mask() const { return (1u << width) - 1u; }
    constexpr unsigned Of(Word w) const { return (w >> shift) & Mask(); }
    // The value cut to the field's width, in its place.
    constexpr Word Put(unsigned value) const {
        return static_cast<Word>((value & Mask()) << shift);
    }
};

}  // namespace words

// ---- status words: the detector's, up to 1440 a second ----
namespace status {

using words::Field;

// The code in bits 13-15, one per kind of word; code 0 carries no fields.
constexpr unsigned kCodes = 8;
constexpr unsigned kSignalWord = 1;
constexpr unsigned kStateWord = 2;
constexpr unsigned kSensWord = 3;
constexpr unsigned kZoneWord = 4;
constexpr unsigned kSpeedWord = 5;
constexpr unsigned kIdentityWord = 6;
constexpr unsigned kPowerWord = 7;

inline constexpr Field kCode{0, "code", 13, 3};
// Signal: 10 bits in counts and the three threshold flags.
inline constexpr Field kSig{kSignalWord, "sig", 0, 10};
inline constexpr Field kPp{kSignalWord, "pp", 10, 1};
inline constexpr Field kMp{kSignalWord, "mp", 11, 1};
inline constexpr Field kBp{kSignalWord, "bp", 12, 1};
// State: the average level and the mode.
inline constexpr Field kAver{kStateWord, "aver", 0, 10};
inline constexpr Field kState{kStateWord, "state", 10, 3};
// Sensitivity: the LL and PL threshold indices.
inline constexpr Field kSensMp{kSensWord, "sensmp", 0, 5};
inline constexpr Field kSensPp{kSensWord, "senspp", 8, 5};
// Zone: its length index, the setup method and the HL threshold index.
inline constexpr Field kDist{kZoneWord, "dist", 0, 5};
inline constexpr Field kRegul{kZoneWord, "regul", 5, 2};
inline constexpr Field kSensBp{kZoneWord, "sensbp", 8, 5};
// Speeds, gain and warnings.
inline constexpr Field kVelMin{kSpeedWord, "vel_min", 0, 2};
inline constexpr Field kVelMax{kSpeedWord, "vel_max", 2, 2};
inline constexpr Field kAmplif{kSpeedWord, "amplif", 8, 2};
inline constexpr Field kRef{kSpeedWord, "ref", 10, 1};
inline constexpr Field kDis{kSpeedWord, "dis", 11, 2};
// Identity: model, program version, unit letter, address.
inline constexpr Field kDev{kIdentityWord, "dev", 0, 3};
inline constexpr Field kProg{kIdentityWord, "prog", 3, 3};
inline constexpr Field kLetter{kIdentityWord, "letter", 6, 2};
inline constexpr Field kAdr{kIdentityWord, "adr", 8, 4};
// Power: the supply voltage in counts.
inline constexpr Field kPwr{kPowerWord, "pwr", 0, 10};

// Every field, by code and, within a code, in the exchange log's order.
inline constexpr Field kFields[] = {kSig,    kPp,   kMp,    kBp,     kAver,   kState,  kSensMp,
                                    kSensPp, kDist, kRegul, kSensBp, kVelMin, kVelMax, kAmplif,
                                    kRef,    kDis,  kDev,   kProg,   kLetter, kAdr,    kPwr};

}  // namespace status

// ---- command words: the console's, one slot per code ----
namespace command {

using words::Field;

// Command codes 0, 1 and 2, each with a slot of its own in the queue: the
// mode word (PL threshold, address, mode), the thresholds word (LL and HL,
// unit letter) and the zone word (speeds, zone, setup method).
constexpr unsigned kCodes = 3;
constexpr unsigned kModeWord = 0;
constexpr unsigned kThresholdsWord = 1;
constexpr unsigned kZoneWord = 2;

// The code in bits 13-14; a high byte has bit 7 clear, a low byte bit 7 set,
// which is how the detector finds the word boundaries.
inline constexpr Field kCode{0, "code", 13, 2};
constexpr words::Word kLowMarker = 0x80;

inline constexpr Field kAdr{kModeWord, "adr", 8, 4};
inline constexpr Field kSensPp{kModeWord, "senspp", 0, 5};
inline constexpr Field kState{kModeWord, "state", 5, 2};
inline constexpr Field kSensMp{kThresholdsWord, "sensmp", 8, 5};
inline constexpr Field kSensBp{kThresholdsWord, "sensbp", 0, 5};
inline constexpr Field kLetter{kThresholdsWord, "letter", 5, 2};
inline constexpr Field kMinSpd{kZoneWord, "min_spd", 8, 2};
inline constexpr Field kMaxSpd{kZoneWord, "max_spd", 10, 2};
inline constexpr Field kDist{kZoneWord, "dist", 0, 5};
inline constexpr Field kReg{kZoneWord, "reg", 5, 2};

// The values of the code-0 word's state: what the detector is to do.
constexpr unsigned kModeNormal = 0;
constexpr unsigned kModeCalibrate = 1;

// What a field asks of the detector, in the terms of the people who set one
// up: the site record says it so, and the command check compares by it.
enum class Meaning {
    Address,
    PlIndex,
    Mode,
    LlIndex,
    HlIndex,
    Unit,
    MinSpeed,
    MaxSpeed,
    Zone,
    Method
};

struct CommandField {
    Field field;
    // The status field in which the detector reports what it took; none for
    // the address, which it only echoes.
    const Field* reported;
    Meaning meaning;
};

// Every field, by code and, within a code, in the exchange log's order, which
// is also the order of the builders' arguments.
inline constexpr CommandField kFields[] = {
    {kAdr, nullptr, Meaning::Address},
    {kSensPp, &status::kSensPp, Meaning::PlIndex},
    {kState, &status::kState, Meaning::Mode},
    {kSensMp, &status::kSensMp, Meaning::LlIndex},
    {kSensBp, &status::kSensBp, Meaning::HlIndex},
    {kLetter, &status::kLetter, Meaning::Unit},
    {kMinSpd, &status::kVelMin, Meaning::MinSpeed},
    {kMaxSpd, &status::kVelMax, Meaning::MaxSpeed},
    {kDist, &status::kDist, Meaning::Zone},
    {kReg, &status::kRegul, Meaning::Method},
};

// A command word of `code` (0..kCodes-1) with its fields' values in the
// table's order; every value is cut to its field.
constexpr words::Word Build(unsigned code, std::initializer_list<unsigned> values) {
    unsigned word = kCode.Put(code) | kLowMarker;
    const unsigned* value = values.begin();
    for (const CommandField& f : kFields) {
        if (f.field.code != code || value == values.end()) continue;
        word |= f.field.Put(*value++);
    }
    return static_cast<words::Word>(word);
}

}  // namespace command

}  // namespace quillane
