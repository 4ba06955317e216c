#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillane {

enum class Scenario { kQuiet, kWalk, kCalibration, kWarning, kGarbage };

// Command words the detector leaves unanswered, as a detector that refuses
// them would: calibration starts, or every word of a code.
enum IgnoredCommands : unsigned {
    kIgnoreCalibration = 1u,  // mode words that start calibration
    kIgnoreMode = 2u,         // code 0: PL threshold and mode
    kIgnoreThresholds = 4u,   // code 1: LL, HL and unit letter
    kIgnoreZone = 8u,         // code 2: speeds, zone and setup method
};

// What the virtual detector is and does, as chosen on its command line.
struct DetectorOptions {
    int com = 0;           // 0: the first free number above the ports present
    int rate = 400;        // frames per second; the line carries at most 1440
    unsigned model = 2;    // dev of the identity word
    unsigned version = 3;  // prog
    unsigned letter = 0;   // 0-3, shown as F1-F4
    unsigned address = 1;  // adr
    unsigned regul = 2;    // setup method at start
    unsigned dist = 11;    // zone index at start (100 m)
    double powerVolts = 12.0;
    unsigned gain = 1;  // amplif
    unsigned ref = 0;
    std::uint32_t seed = 1;
    Scenario scenario = Scenario::kQuiet;
    std::vector<double> alarms;  // walk test: alarm times in seconds; empty: every 10 s
    unsigned dis = 3;            // warning scenario
    double garbageRate = 0.05;   // garbage scenario: share of frame slots with garbage
    double hangupAfter = 0;      // 0: never
    unsigned ignored = 0;        // IgnoredCommands
    double duration = 0;         // 0: until stopped
    bool verbose = false;
    bool quiet = false;
    std::string statsFile;
};

struct DetectorOptionsResult {
    DetectorOptions options;
    bool help = false;
    std::string error;  // empty when the command line is good
};

// The power word's raw count for a supply voltage, with the console's factory
// power factors, so that the console shows the voltage asked for.
unsigned PowerCountForVolts(double volts);

DetectorOptionsResult ParseDetectorOptions(const std::vector<std::string>& args);
std::string DetectorUsage();

}  // namespace quillane
