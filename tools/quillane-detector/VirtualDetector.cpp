#include "VirtualDetector.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "model/Conversions.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {

namespace {

constexpr double kSetInterval = 0.1;  // seconds between full sets
constexpr int kGuardSlots = 2;        // clean signal slots before a full set
constexpr unsigned kQuietAver = 512;
constexpr unsigned kHighAver = 990;   // what "signal level too high" looks like
constexpr double kAlarmLength = 1.2;  // seconds one walk-test alarm lasts
constexpr double kAlarmPeak = 80.0;   // deviation in percent at its middle
constexpr double kDefaultFirstAlarm = 5.0;
constexpr double kDefaultAlarmEvery = 10.0;
constexpr double kSweepPeriod = 12.0;  // calibration: one aiming sweep
constexpr double kLossEvery = 20.0;    // calibration scenario: a signal loss
constexpr double kLossFrom = 14.0, kLossUntil = 15.5;
// Special presets of setup method 1: the detector's own threshold indices.
constexpr unsigned kSpecialPp = 12, kSpecialMp = 14, kSpecialBp = 20;

using detector::kStateAlarm;
using detector::kStateCalibration;
using detector::kStateNormal;

// A status word of `code` with these fields in their places.
std::uint16_t Make(unsigned code, std::initializer_list<std::pair<words::Field, unsigned>> fields) {
    unsigned w = status::kCode.Put(code);
    for (const auto& [field, value] : fields) w |= field.Put(value);
    return static_cast<std::uint16_t>(w);
}

template <typename Reading>
std::uint16_t SignalOf(const Reading& r) {
    using namespace status;
    return Make(kSignalWord, {{kBp, r.bp}, {kMp, r.mp}, {kPp, r.pp}, {kSig, r.sig}});
}

unsigned Clamp10(double v) {
    return static_cast<unsigned>(std::lround(std::fmin(std::fmax(v, 0.0), 1023.0)));
}

}  // namespace

VirtualDetector::VirtualDetector(const DetectorOptions& options)
    : options_(options),
      dist_(options.dist & 0x1Fu),
      regul_(options.regul & 0x3u),
      letter_(options.letter & 0x3u),
      pwr_(PowerCountForVolts(options.powerVolts)),
      calibrating_(options.scenario == Scenario::kCalibration),
      rng_(options.seed) {
    if (regul_ == detector::kRegulSpecial) {
        senspp_ = kSpecialPp, sensmp_ = kSpecialMp, sensbp_ = kSpecialBp;
    } else {
        senspp_ = sensmp_ = sensbp_ = static_cast<unsigned>(DefaultDistSens(dist_));
    }
}

bool VirtualDetector::ApplyCommand(std::uint16_t w) {
    using namespace command;
    if (Ignores(w)) return false;
    switch (kCode.Of(w)) {
        case kModeWord:
            // The address field is the console's echo of ours; the detector
            // keeps its own identity whatever comes back.
            senspp_ = kSensPp.Of(w);
            if (kState.Of(w) == kModeCalibrate) calibrating_ = true;
            if (kState.Of(w) == kModeNormal) calibrating_ = false;
            return true;
        case kThresholdsWord:
            sensmp_ = kSensMp.Of(w);
            sensbp_ = kSensBp.Of(w);
            letter_ = kLetter.Of(w);
            return true;
        case kZoneWord:
            velMin_ = kMinSpd.Of(w);
            velMax_ = kMaxSpd.Of(w);
            dist_ = kDist.Of(w);
            regul_ = kReg.Of(w);
            return true;
        default:
            return false;
    }
}

bool VirtualDetector::Ignores(std::uint16_t w) const {
    using namespace command;
    const unsigned ignored = options_.ignored;
    switch (kCode.Of(w)) {
        case kModeWord:
            return (ignored & kIgnoreMode) != 0 ||
                   ((ignored & kIgnoreCalibration) != 0 && kState.Of(w) == kModeCalibrate);
        case kThresholdsWord:
            return (ignored & kIgnoreThresholds) != 0;
        case kZoneWord:
            return (ignored & kIgnoreZone) != 0;
        default:
            return false;
    }
}

LineSlot VirtualDetector::NextSlot(double t) {
    LineSlot slot;
    bool clean = false;
    const std::uint16_t w = ScheduledWord(t, &clean);
    if (!clean && options_.scenario == Scenario::kGarbage &&
        rng_() / 4294967296.0 < options_.garbageRate) {
        AddGarbage(&slot);
    }
    const frame::Frame f = frame::IncomingFrame(w);
    slot.bytes.insert(slot.bytes.end(), f.begin(), f.end());
    slot.frames = 1;
    return slot;
}

std::uint16_t VirtualDetector::NextWord(double t) {
    bool clean = false;
    return ScheduledWord(t, &clean);
}

// Garbage goes only before signal words well clear of a full set, so that the
// console still detects the detector; a signal word may be lost to it.
std::uint16_t VirtualDetector::ScheduledWord(double t, bool* clean) {
    if (setPos_ < 0 && guard_ == 0 && t >= nextSetAt_) {
        nextSetAt_ = t + kSetInterval;
        guard_ = kGuardSlots;
    }
    if (setPos_ >= 0) {
        *clean = true;
        const std::uint16_t w = Word(static_cast<unsigned>(2 + setPos_), t);
        setPos_ = setPos_ == 5 ? -1 : setPos_ + 1;
        return w;
    }
    if (guard_ > 0) {
        *clean = true;
        if (--guard_ == 0) setPos_ = 0;
    }
    return SignalWord(t);
}

std::uint16_t VirtualDetector::SignalWord(double t) {
    Reading r = ReadingAt(t);
    const int noise = static_cast<int>(r.sig / 100 + 1);
    r.sig = Clamp10(static_cast<double>(r.sig) + Random(-noise, noise));
    return SignalOf(r);
}

std::uint16_t VirtualDetector::Word(unsigned code, double t) const {
    using namespace status;
    const unsigned dis = options_.scenario == Scenario::kWarning ? options_.dis : 0;
    switch (code) {
        case kSignalWord:
            return SignalOf(ReadingAt(t));
        case kStateWord: {
            const Reading r = ReadingAt(t);
            return Make(kStateWord, {{kState, r.state}, {kAver, r.aver}});
        }
        case kSensWord:
            return Make(kSensWord, {{kSensPp, senspp_}, {kSensMp, sensmp_}});
        case kZoneWord:
            return Make(kZoneWord, {{kSensBp, sensbp_}, {kRegul, regul_}, {kDist, dist_}});
        case kSpeedWord:
            return Make(kSpeedWord, {{kDis, dis},
                                     {kRef, options_.ref},
                                     {kAmplif, options_.gain},
                                     {kVelMax, velMax_},
                                     {kVelMin, velMin_}});
        case kIdentityWord:
            return Make(kIdentityWord, {{kAdr, options_.address},
                                        {kLetter, letter_},
                                        {kProg, options_.version},
                                        {kDev, options_.model}});
        case kPowerWord:
            return Make(kPowerWord, {{kPwr, pwr_}});
        default:
            return Make(code, {});
    }
}

VirtualDetector::Reading VirtualDetector::ReadingAt(double t) const {
    if (calibrating_) return CalibrationReading(t);
    if (options_.scenario == Scenario::kWalk) return WalkReading(t);
    Reading r;
    const bool tooHigh = options_.scenario == Scenario::kWarning && options_.dis == 2;
    r.aver = r.sig = tooHigh ? kHighAver : kQuietAver;
    r.state = kStateNormal;
    return r;
}

// Aiming: the level rises and falls as the installer turns the detector; in
// the calibration scenario the beam is lost now and then, which the detector
// reports as Alarm while calibrating.
VirtualDetector::Reading VirtualDetector::CalibrationReading(double t) const {
    Reading r;
    const double pi = std::acos(-1.0);
    r.sig = r.aver = Clamp10(150 + 250 * (0.5 - 0.5 * std::cos(2 * pi * t / kSweepPeriod)));
    r.state = kStateCalibration;
    const double inCycle = std::fmod(t, kLossEvery);
    if (options_.scenario == Scenario::kCalibration && inCycle >= kLossFrom &&
        inCycle < kLossUntil) {
        r.sig = r.aver = 2;
        r.state = kStateAlarm;
    }
    return r;
}

VirtualDetector::Reading VirtualDetector::WalkReading(double t) const {
    Reading r;
    r.aver = kQuietAver;
    const double dev = AlarmDeviation(t);
    r.sig = Clamp10(kQuietAver * (1 + dev / 100));
    r.pp = dev >= DefaultPP(static_cast<int>(senspp_));
    r.mp = dev >= DefaultMP(static_cast<int>(sensmp_));
    r.bp = dev >= DefaultBP(static_cast<int>(sensbp_));
    r.state = (r.pp || r.mp || r.bp) ? kStateAlarm : kStateNormal;
    return r;
}

// Someone crossing the zone: the deviation rises to its peak and falls back,
// a triangle of kAlarmLength seconds from each alarm time.
double VirtualDetector::AlarmDeviation(double t) const {
    double start = -1;
    if (options_.alarms.empty()) {
        if (t >= kDefaultFirstAlarm) {
            start = t - std::fmod(t - kDefaultFirstAlarm, kDefaultAlarmEvery);
        }
    } else {
        for (double a : options_.alarms) {
            if (t >= a && t < a + kAlarmLength) start = a;
        }
    }
    if (start < 0 || t >= start + kAlarmLength) return 0;
    const double half = kAlarmLength / 2;
    return kAlarmPeak * (1 - std::fabs(t - start - half) / half);
}

void VirtualDetector::AddGarbage(LineSlot* slot) {
    if (Random(0, 1) == 0) {
        const int n = Random(1, 6);
        for (int i = 0; i < n; ++i)
            slot->bytes.push_back(static_cast<std::uint8_t>(Random(0, 255)));
        slot->garbageBytes = n;
        return;
    }
    const auto high = static_cast<std::uint8_t>(Random(0, 255));
    const auto low = static_cast<std::uint8_t>(Random(0, 255));
    const auto wrong = static_cast<std::uint8_t>(frame::Checksum(high, low) + Random(1, 255));
    slot->bytes.insert(slot->bytes.end(), {frame::kStartByte, high, low, wrong});
    slot->badFrames = 1;
}

// Own arithmetic rather than std::uniform_int_distribution, whose output may
// differ between standard libraries: a seed must replay the same run anywhere.
int VirtualDetector::Random(int lo, int hi) {
    const auto span = static_cast<std::uint32_t>(hi - lo + 1);
    return lo + static_cast<int>(rng_() % span);
}

}  // namespace quillane
