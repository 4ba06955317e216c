#include "console/pages/StatusDisplay.h"

#include <array>

#include "console/pages/RedrawLimit.h"
#include "model/Conversions.h"
#include "model/MessageTexts.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

using detector::kStateAlarm;
using detector::kStateCalibration;
using detector::kStateNormal;

constexpr unsigned kDevWithAddress = 2;

enum Warning : unsigned { kNoWarning = 0, kUnknownError = 1, kSignalTooHigh = 2, kLowPower = 3 };

const std::array<const char*, 8> kStateTexts = {"Normal",      "Alarm",     "Calibration",
                                                "Malfunction", "Unknown-4", "Unknown-5",
                                                "Unknown-6",   "Unknown-7"};
const std::array<const char*, 4> kRegulTexts = {"Manual", "Special", "Auto", "Auto"};
const std::array<const char*, 8> kModelTexts = {"Dravena",   "Korvel",    "Korvel-TS", "Tessaline",
                                                "Unknown-4", "Unknown-5", "Unknown-6", "Unknown-7"};

struct StateColours {
    Colour background, text;
};
// States 4-7 are not defined by the detector; black on black hides their text
// on purpose, so the installer sees an unusual mode rather than a wrong name.
const std::array<StateColours, 8> kStateColours = {{
    {colour::kGreen, colour::kWhite},
    {colour::kRed, colour::kWhite},
    {colour::kLime, colour::kBlack},
    {colour::kYellow, colour::kBlack},
    {colour::kBlack, colour::kBlack},
    {colour::kBlack, colour::kBlack},
    {colour::kBlack, colour::kBlack},
    {colour::kBlack, colour::kBlack},
}};

unsigned StoredState(const DetectorModel& m) { return frame::State(m.Word(status::kStateWord)); }

std::optional<std::string> NoteForNormalState(Page active) {
    switch (active) {
        case Page::Setup:
        case Page::Settings:
            return std::string(note::kWalkTest);
        case Page::About:
            return std::string(note::kSelectMode);
        case Page::Properties:
            return std::string(note::kEmpty);
        case Page::Calibration:
            break;
    }
    return std::nullopt;
}

std::optional<std::string> WarningNote(const DetectorModel& m, Page active) {
    switch (frame::Dis(m.Word(status::kSpeedWord))) {
        case kUnknownError:
            return std::string(note::kUnknownError);
        case kSignalTooHigh:
            return std::string(note::kSignalTooHigh);
        case kLowPower:
            return std::string(note::kLowPower);
        default:
            break;
    }
    const unsigned state = StoredState(m);
    if (state == kStateNormal) return NoteForNormalState(active);
    if (state == kStateCalibration && active == Page::Calibration)
        return std::string(note::kAdjust);
    return std::nullopt;
}

// The Calibration page tells the installer when aiming lost or found the signal.
std::optional<std::string> CalibrationNote(unsigned prev, unsigned cur) {
    if (prev == kStateCalibration && cur == kStateAlarm) return std::string(note::kNoSignal);
    if (prev == kStateAlarm && cur == kStateCalibration) return std::string(note::kAdjust);
    return std::nullopt;
}

}  // namespace

const char* DetectorWarningText(const DetectorModel& m) {
    switch (frame::Dis(m.Word(status::kSpeedWord))) {
        case kUnknownError:
            return note::kUnknownError;
        case kSignalTooHigh:
            return note::kSignalTooHigh;
        case kLowPower:
            return note::kLowPower;
        default:
            break;
    }
    const unsigned state = StoredState(m);
    return state == detector::kStateMalfunction ? StateText(state) : nullptr;
}

const char* StateText(unsigned state) { return kStateTexts[state & 7u]; }
const char* RegulText(unsigned regul) { return kRegulTexts[regul & 3u]; }
const char* ModelText(unsigned dev) { return kModelTexts[dev & 7u]; }

IdentityDisplay IdentityValues(const DetectorModel& m) {
    const frame::Word w = m.Word(status::kIdentityWord);
    IdentityDisplay d;
    d.model = ModelText(frame::Dev(w));
    d.prog = std::to_string(frame::Prog(w));
    d.letter = "F" + std::to_string(frame::Letter(w) + 1);
    d.addressShown = frame::Dev(w) == kDevWithAddress;
    if (d.addressShown) d.address = std::to_string(frame::Adr(w));
    return d;
}

std::string PowerValue(const DetectorModel& m, double kdc, double urd, const NumberFormat& f) {
    const double volts = PowerToVolts(frame::Pwr(m.Word(status::kPowerWord)), kdc, urd);
    return WithUnit(f.Fixed(volts, 1), unit::kVolts);
}

ZoneDisplay ZoneValues(const DetectorModel& m, const std::function<int(int)>& distSens) {
    const frame::Word zone = m.Word(status::kZoneWord);
    const unsigned regul = frame::Regul(zone);
    const int dist = static_cast<int>(frame::Dist(zone));
    ZoneDisplay d;
    d.regul = RegulText(regul);
    if (regul == detector::kRegulManual) {
        const int senspp = static_cast<int>(frame::SensPp(m.Word(status::kSensWord)));
        d.sens = WithUnit(std::to_string(SensToPercent(senspp)), unit::kPercent);
    } else if (regul == detector::kRegulSpecial) {
        d.sens = "---";
    } else {
        d.sens = WithUnit(std::to_string(SensToPercent(distSens(dist))), unit::kPercent);
    }
    d.dist = WithUnit(std::to_string(DistToMetres(dist)), unit::kMetres);
    return d;
}

SpeedWarningDisplay SpeedAndWarningValues(const DetectorModel& m, Page active,
                                          const NumberFormat& f) {
    const frame::Word w = m.Word(status::kSpeedWord);
    SpeedWarningDisplay d;
    d.speed = SpeedText(frame::VelMin(w), frame::VelMax(w), f);
    d.note = WarningNote(m, active);
    return d;
}

StateDisplay DetectorStateValues(const DetectorModel& m, Page active, const NumberFormat& f) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    const unsigned cur = StoredState(m);
    const unsigned prev = frame::State(m.Previous(status::kStateWord));
    StateDisplay d;
    if (active == Page::Calibration) {
        d.aver = "---";
    } else {
        const double mv = SignalToMilliVolts(frame::Ref(speed), frame::Amplif(speed),
                                             frame::Aver(m.Word(status::kStateWord)));
        d.aver = WithUnit(f.Fixed(mv, 3), unit::kMilliVolts);
    }
    d.state = StateText(cur);
    d.background = kStateColours[cur].background;
    d.text = kStateColours[cur].text;
    if (active == Page::Calibration) d.note = CalibrationNote(prev, cur);
    d.alarmEntered = prev != kStateAlarm && cur == kStateAlarm;
    return d;
}

SignalRefresh ShowSignalDecision(const DetectorModel& m, Page active, bool working,
                                 double nowSeconds, RedrawLimit& limit, int selectFilter) {
    if (active == Page::Settings) return SignalRefresh::Range;  // that page limits itself
    if (active != Page::Calibration && active != Page::Setup) return SignalRefresh::None;
    if (!limit.Allow(nowSeconds, selectFilter)) return SignalRefresh::None;
    if (!working) return SignalRefresh::None;
    const unsigned state = StoredState(m);
    if (active == Page::Calibration)
        return state == kStateCalibration ? SignalRefresh::TuneUp : SignalRefresh::None;
    return state == kStateNormal ? SignalRefresh::Sense : SignalRefresh::None;
}

}  // namespace quillane
