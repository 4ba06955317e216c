#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "DetectorOptions.h"

namespace quillane {

// What one frame slot of the line carries: a status frame, in the garbage
// scenario sometimes with noise before it.
struct LineSlot {
    std::vector<std::uint8_t> bytes;
    int frames = 0;        // good status frames
    int badFrames = 0;     // frames with a wrong checksum
    int garbageBytes = 0;  // loose bytes
};

// The detector itself, without a line: the words it streams at a given time
// and how it acts on command words. Time is passed in (seconds since start), so
// a test can play a whole walk test in a loop.
class VirtualDetector {
public:
    explicit VirtualDetector(const DetectorOptions& options);

    // Acts on a command word; false for one the detector has no use for or
    // was told to ignore (--ignore).
    bool ApplyCommand(std::uint16_t command);
    // The next slot at t seconds: signal words, and about every 100 ms the run
    // of codes 2 to 7 with no signal word inside, which the console needs to
    // notice a detector.
    LineSlot NextSlot(double t);
    std::uint16_t NextWord(double t);
    // The word of a code as the detector would send it now (signal without noise).
    std::uint16_t Word(unsigned code, double t) const;

private:
    bool Ignores(std::uint16_t command) const;
    struct Reading {
        unsigned sig = 0;
        unsigned aver = 0;
        unsigned state = 0;
        bool pp = false, mp = false, bp = false;
    };
    Reading ReadingAt(double t) const;
    Reading CalibrationReading(double t) const;
    Reading WalkReading(double t) const;
    double AlarmDeviation(double t) const;
    std::uint16_t SignalWord(double t);
    std::uint16_t ScheduledWord(double t, bool* clean);
    void AddGarbage(LineSlot* slot);
    int Random(int lo, int hi);

    DetectorOptions options_;
    unsigned senspp_, sensmp_, sensbp_;
    unsigned dist_, regul_;
    unsigned velMin_ = 0, velMax_ = 1;
    unsigned letter_;
    unsigned pwr_;
    bool calibrating_;
    std::mt19937 rng_;
    double nextSetAt_ = 0;
    int guard_ = 0;    // clean signal slots still to come before the next full set
    int setPos_ = -1;  // position in the full set, -1 outside it
};

}  // namespace quillane
