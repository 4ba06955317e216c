#include "DetectorOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

namespace quillane {

namespace {

// The console's factory power factors (Kdc, Urd): the count for a voltage is
// their inverse, so the console shows what was asked for unless its factors
// were changed.
constexpr double kKdc = 14.33;
constexpr double kUrd = 1.5;
constexpr double kMinVolts = kUrd;
constexpr double kMaxVolts = 1023 * 2.5 * kKdc / 1023 + kUrd;
constexpr int kLineFramesPerSecond = 1440;

bool ParseInteger(const std::string& text, long lo, long hi, long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool ParseNumber(const std::string& text, double lo, double hi, double* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
    *out = v;
    return true;
}

std::string Range(long lo, long hi) {
    return "an integer from " + std::to_string(lo) + " to " + std::to_string(hi);
}

using Setter = std::function<std::string(const std::string&, DetectorOptions&)>;

template <typename T>
Setter IntegerOption(T DetectorOptions::*field, long lo, long hi) {
    return [field, lo, hi](const std::string& v, DetectorOptions& o) -> std::string {
        long n = 0;
        if (!ParseInteger(v, lo, hi, &n)) return "must be " + Range(lo, hi);
        o.*field = static_cast<T>(n);
        return {};
    };
}

Setter NumberOption(double DetectorOptions::*field, double lo, double hi, const char* what) {
    return [field, lo, hi, what](const std::string& v, DetectorOptions& o) -> std::string {
        if (!ParseNumber(v, lo, hi, &(o.*field))) return std::string("must be ") + what;
        return {};
    };
}

std::string SetLetter(const std::string& v, DetectorOptions& o) {
    long n = 0;
    if (v.size() == 2 && (v[0] == 'F' || v[0] == 'f') && ParseInteger(v.substr(1), 1, 4, &n)) {
        o.letter = static_cast<unsigned>(n - 1);
        return {};
    }
    if (!ParseInteger(v, 0, 3, &n)) return "must be F1 to F4, or the raw field 0 to 3";
    o.letter = static_cast<unsigned>(n);
    return {};
}

std::string SetScenario(const std::string& v, DetectorOptions& o) {
    static const std::map<std::string, Scenario> kNames = {{"quiet", Scenario::kQuiet},
                                                           {"walk", Scenario::kWalk},
                                                           {"calibration", Scenario::kCalibration},
                                                           {"warning", Scenario::kWarning},
                                                           {"garbage", Scenario::kGarbage}};
    const auto it = kNames.find(v);
    if (it == kNames.end()) return "must be quiet, walk, calibration, warning or garbage";
    o.scenario = it->second;
    return {};
}

std::string SetAlarms(const std::string& v, DetectorOptions& o) {
    std::stringstream in(v);
    std::string item;
    o.alarms.clear();
    while (std::getline(in, item, ',')) {
        double t = 0;
        if (!ParseNumber(item, 0, 1e6, &t)) return "must be a list of seconds like 5,12.5,30";
        o.alarms.push_back(t);
    }
    if (o.alarms.empty()) return "must be a list of seconds like 5,12.5,30";
    return {};
}

std::string SetIgnored(const std::string& v, DetectorOptions& o) {
    static const std::map<std::string, unsigned> kNames = {{"calibration", kIgnoreCalibration},
                                                           {"mode", kIgnoreMode},
                                                           {"thresholds", kIgnoreThresholds},
                                                           {"zone", kIgnoreZone}};
    std::stringstream in(v);
    std::string item;
    o.ignored = 0;
    while (std::getline(in, item, ',')) {
        const auto it = kNames.find(item);
        if (it == kNames.end()) return "must be a list of calibration, mode, thresholds, zone";
        o.ignored |= it->second;
    }
    if (o.ignored == 0) return "must be a list of calibration, mode, thresholds, zone";
    return {};
}

std::string SetStatsFile(const std::string& v, DetectorOptions& o) {
    if (v.empty()) return "must name a file";
    o.statsFile = v;
    return {};
}

const std::map<std::string, Setter>& ValueOptions() {
    static const std::map<std::string, Setter> kOptions = {
        {"--com", IntegerOption(&DetectorOptions::com, 1, 255)},
        {"--rate", IntegerOption(&DetectorOptions::rate, 1, kLineFramesPerSecond)},
        {"--model", IntegerOption(&DetectorOptions::model, 0, 7)},
        {"--version", IntegerOption(&DetectorOptions::version, 0, 7)},
        {"--letter", SetLetter},
        {"--address", IntegerOption(&DetectorOptions::address, 0, 15)},
        {"--regul", IntegerOption(&DetectorOptions::regul, 0, 3)},
        {"--dist", IntegerOption(&DetectorOptions::dist, 2, 31)},
        {"--power", NumberOption(&DetectorOptions::powerVolts, kMinVolts, kMaxVolts,
                                 "a voltage from 1.5 to 37.3")},
        {"--gain", IntegerOption(&DetectorOptions::gain, 0, 3)},
        {"--ref", IntegerOption(&DetectorOptions::ref, 0, 1)},
        {"--seed", IntegerOption(&DetectorOptions::seed, 0, 4294967295L)},
        {"--scenario", SetScenario},
        {"--alarms", SetAlarms},
        {"--ignore", SetIgnored},
        {"--dis", IntegerOption(&DetectorOptions::dis, 1, 3)},
        {"--garbage-rate",
         NumberOption(&DetectorOptions::garbageRate, 0, 1, "a share from 0 to 1")},
        {"--hangup-after",
         NumberOption(&DetectorOptions::hangupAfter, 0.001, 1e6, "a positive number of seconds")},
        {"--duration",
         NumberOption(&DetectorOptions::duration, 0.001, 1e6, "a positive number of seconds")},
        {"--stats-file", SetStatsFile},
    };
    return kOptions;
}

bool* FlagOf(const std::string& arg, DetectorOptionsResult& r) {
    if (arg == "-v" || arg == "--verbose") return &r.options.verbose;
    if (arg == "-q" || arg == "--quiet") return &r.options.quiet;
    if (arg == "-h" || arg == "--help") return &r.help;
    return nullptr;
}

// Options that only make sense with one scenario: a silent mismatch would
// leave the user waiting for alarms or warnings that never come.
std::string CheckScenarioOptions(const DetectorOptions& o, const std::vector<std::string>& seen) {
    auto given = [&seen](const char* name) {
        for (const std::string& s : seen) {
            if (s == name) return true;
        }
        return false;
    };
    if (given("--alarms") && o.scenario != Scenario::kWalk) return "--alarms needs --scenario walk";
    if (given("--dis") && o.scenario != Scenario::kWarning) return "--dis needs --scenario warning";
    if (given("--garbage-rate") && o.scenario != Scenario::kGarbage) {
        return "--garbage-rate needs --scenario garbage";
    }
    return {};
}

}  // namespace

unsigned PowerCountForVolts(double volts) {
    const double count = std::lround((volts - kUrd) * 1023 / (2.5 * kKdc));
    return static_cast<unsigned>(std::fmin(std::fmax(count, 0), 1023));
}

DetectorOptionsResult ParseDetectorOptions(const std::vector<std::string>& args) {
    DetectorOptionsResult r;
    std::vector<std::string> seen;
    for (size_t i = 0; i < args.size() && r.error.empty(); ++i) {
        std::string name = args[i];
        if (bool* flag = FlagOf(name, r)) {
            *flag = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        const auto it = ValueOptions().find(name);
        if (hasValue && FlagOf(name, r) != nullptr) {
            r.error = name + " takes no value";
        } else if (it == ValueOptions().end()) {
            r.error = "unknown option '" + name + "'";
        } else if (!hasValue && i + 1 >= args.size()) {
            r.error = name + " needs a value";
        } else {
            if (!hasValue) value = args[++i];
            const std::string why = it->second(value, r.options);
            if (!why.empty()) r.error = name + " '" + value + "' " + why;
            seen.push_back(name);
        }
    }
    if (r.error.empty()) r.error = CheckScenarioOptions(r.options, seen);
    return r;
}

std::string DetectorUsage() {
    return R"(Usage: quillane-detector [options]

A virtual detector on a pseudo-terminal, reachable by the console as port COM<n>
through the alias $XDG_CONFIG_HOME/quillane/ports/COM<n>. The first line on
standard output is "port COM<n> <device>"; at the end it prints "sent <n> frames".

Line:
  --com N            port number 1-255 (default: the first free number above the
                     ports present, which the console opens on its own at start)
  --rate R           status frames per second, 1-1440 (default 400; 1440 is the
                     full 57600-baud line)
  --duration S       stop after S seconds
  --hangup-after S   after S seconds drop the line (the console sees a dead port),
                     then offer a new device behind the same alias and print a new
                     port line
Identity and setup:
  --model D          model 0-7 (default 2, the model that shows its address)
  --version P        program version 0-7 (default 3)
  --letter L         unit letter F1-F4 (or 0-3; default F1)
  --address A        address 0-15 (default 1)
  --regul R          setup method 0 manual, 1 special presets, 2 auto,
                     3 auto with defaults applied by the console at detection
                     (default 2)
  --dist Z           zone index 2-31 (default 11, 100 m)
  --power V          supply voltage in volts, 1.5-37.3 (default 12.0), sent as the
                     count the console turns back into V with its factory factors
  --gain A           amplifier gain index 0-3 (default 1)
  --ref R            reference voltage index 0-1 (default 0)
Behaviour:
  --scenario NAME    quiet (default): steady signal with noise
                     walk: alarms at chosen times with threshold flags and Alarm
                     calibration: starts aiming, with a signal loss now and then
                     warning: reports a warning (see --dis)
                     garbage: mixes garbage bytes and bad checksums in
  --alarms T1,T2,..  walk: alarm times in seconds (default every 10 s from 5 s)
  --dis N            warning: 1 unknown error, 2 signal too high, 3 low power
                     (default 3)
  --garbage-rate F   garbage: share 0-1 of frame slots with garbage (default 0.05)
  --seed N           seed of the noise and garbage (default 1): same seed, same run
  --ignore WHAT,..   leave these command words unanswered, as a detector that
                     refuses them: calibration (starts of calibration), mode
                     (code 0), thresholds (code 1), zone (code 2); -v prints
                     them as ignored
Output:
  -v, --verbose      print every command word received, decoded
  -q, --quiet        print only the port line, commands (-v) and the summary
  --stats-file PATH  write the frame counts there at the end
  -h, --help         this text
Ctrl-C (or SIGTERM) stops it and removes its alias; SIGUSR1 hangs up at once,
as --hangup-after does.
)";
}

}  // namespace quillane
