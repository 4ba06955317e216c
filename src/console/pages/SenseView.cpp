#include "console/pages/SenseView.h"

#include <algorithm>

#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "protocol/DetectorModel.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

using detector::kRegulAuto;
using detector::kRegulManual;
using detector::kRegulSpecial;
using detector::kStateNormal;

double MilliVolts(const DetectorModel& m, unsigned count) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    return SignalToMilliVolts(frame::Ref(speed), frame::Amplif(speed), count);
}

}  // namespace

int ClampSensePercent(int percent) {
    return std::clamp(percent, kSenseMinPercent, kSenseMaxPercent);
}

SenseLoad SenseCancelValues(const DetectorModel& m) {
    SenseLoad load;
    const unsigned regul = frame::Regul(m.Word(status::kZoneWord));
    load.special = regul == kRegulSpecial;
    load.regulItem = regul == kRegulManual ? 1 : 0;
    load.distItem = ZoneIndexToItem(static_cast<int>(frame::Dist(m.Word(status::kZoneWord))));
    load.sensePercent = SensToPercent(static_cast<int>(frame::SensMp(m.Word(status::kSensWord))));
    return load;
}

int SensePercentForZoneItem(const CorrespondenceTables& t, int distItem) {
    return SensToPercent(t.DistSens(ZoneItemToIndex(distItem)));
}

SenseChart SenseChartValues(const DetectorModel& m, const CorrespondenceTables& t, int sensePercent,
                            bool specialShown) {
    SenseChart c;
    if (frame::State(m.Word(status::kStateWord)) == kStateNormal)
        c.signal = MilliVolts(m, frame::Sig(m.Word(status::kSignalWord)));
    const double a = MilliVolts(m, frame::Aver(m.Word(status::kStateWord)));
    const frame::Word sens = m.Word(status::kSensWord);
    c.lower = LowerLevel(a, t.ThresholdMP(static_cast<int>(frame::SensMp(sens))));
    c.upper = UpperLevel(a, t.ThresholdPP(static_cast<int>(frame::SensPp(sens))));
    const bool special = frame::Regul(m.Word(status::kZoneWord)) == kRegulSpecial && specialShown;
    if (!special) {
        const int i = PercentToSens(sensePercent);
        c.newLower = LowerLevel(a, t.ThresholdMP(i));
        c.newUpper = UpperLevel(a, t.ThresholdPP(i));
    }
    c.axis = ScaleAxisToValue(c.upper);
    return c;
}

PageCommands SenseApplyCommands(const DetectorModel& m, int sensePercent, bool autoShown,
                                int distItem) {
    const auto i = static_cast<unsigned>(PercentToSens(sensePercent));
    const frame::Word speed = m.Word(status::kSpeedWord);
    const frame::Word identity = m.Word(status::kIdentityWord);
    const unsigned dist = autoShown ? static_cast<unsigned>(ZoneItemToIndex(distItem))
                                    : frame::Dist(m.Word(status::kZoneWord));
    PageCommands c;
    c.words[command::kModeWord] = frame::Command0(frame::Adr(identity), i, command::kModeNormal);
    c.words[command::kThresholdsWord] = frame::Command1(i, i, frame::Letter(identity));
    c.words[command::kZoneWord] = frame::Command2(frame::VelMin(speed), frame::VelMax(speed), dist,
                                                  autoShown ? kRegulAuto : kRegulManual);
    return c;
}

}  // namespace quillane
