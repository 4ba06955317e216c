#include "console/pages/RangeView.h"

#include <algorithm>

#include "console/pages/RedrawLimit.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

constexpr int kThresholdItems = 32;

Colour FillFor(unsigned flag, const Colour& set) { return flag != 0 ? set : colour::kWhite; }

std::string PercentText(double value, const NumberFormat& f) {
    return f.Fixed(value, 1) + unit::kPercent;
}

// Steps 5 and 6 of the redraw: only growth moves the maximum or the minimum,
// and never past the axis.
void FollowExtremes(RangeValues& v, RangeChart& c) {
    const double s = v.dblRangeSignal;
    if (s >= 0 && s > v.dblRangeMax) {
        v.dblRangeMax = std::min(s, kRangeLimit);
        c.maxX = v.dblRangeMax;
    }
    if (s < 0 && s < v.dblRangeMin) {
        v.dblRangeMin = std::max(s, -kRangeLimit);
        c.minX = -v.dblRangeMin;
    }
}

void ShowSignal(double s, RangeChart& c) {
    const bool positive = s >= 0;
    c.signal = s;
    c.ppSignal = positive ? s : 0;
    c.mpbpSignal = positive ? 0 : -s;
}

unsigned ItemOr(int item, unsigned stored) {
    return item >= 0 ? static_cast<unsigned>(item) : stored;
}

}  // namespace

double RangeDeviation(unsigned sig, unsigned aver) { return Deviation(sig, aver).value_or(0); }

RangeFlagFills RangeFlagFillsOf(const DetectorModel& m) {
    const frame::Word w = m.Word(status::kSignalWord);
    RangeFlagFills fills;
    fills.pp = FillFor(frame::Pp(w), colour::kRed);
    fills.mp = FillFor(frame::Mp(w), colour::kBlue);
    fills.bp = FillFor(frame::Bp(w), colour::kGreen);
    fills.anySet = frame::Pp(w) + frame::Mp(w) + frame::Bp(w) != 0;
    return fills;
}

RangeChart RefreshRange(const DetectorModel& m, const CorrespondenceTables& t, RangeValues& v,
                        double nowSeconds, RedrawLimit& limit, int selectFilter) {
    RangeChart c;
    c.fills = RangeFlagFillsOf(m);
    // A set flag lifts the limit: a crossing is drawn without delay.
    if (c.fills.anySet)
        limit.Pass(nowSeconds);
    else if (!limit.Allow(nowSeconds, selectFilter))
        return c;
    c.redraw = true;

    const unsigned aver = frame::Aver(m.Word(status::kStateWord));
    unsigned sig = frame::Sig(m.Word(status::kSignalWord));
    if (frame::State(m.Previous(status::kStateWord)) != detector::kStateNormal) {
        c.heldSig = aver;
        sig = aver;
    }
    v.dblRangeSignal = RangeDeviation(sig, aver);
    FollowExtremes(v, c);
    ShowSignal(v.dblRangeSignal, c);

    const frame::Word sens = m.Word(status::kSensWord);
    c.pp = t.ThresholdPP(static_cast<int>(frame::SensPp(sens)));
    c.mp = t.ThresholdMP(static_cast<int>(frame::SensMp(sens)));
    c.bp = t.ThresholdBP(static_cast<int>(frame::SensBp(m.Word(status::kZoneWord))));
    return c;
}

RangeSignalTexts RangeSignalTextsOf(double signal, const NumberFormat& f) {
    const std::string zero = PercentText(0, f);
    const bool positive = signal >= 0;
    return RangeSignalTexts{positive ? PercentText(signal, f) : zero,
                            positive ? zero : PercentText(signal, f)};
}

void ResetRangeMaximum(const DetectorModel& m, RangeValues& v) {
    v.dblRangeSignal = RangeDeviation(frame::Sig(m.Word(status::kSignalWord)),
                                      frame::Aver(m.Word(status::kStateWord)));
    const bool positive = v.dblRangeSignal >= 0;
    v.dblRangeMax = positive ? v.dblRangeSignal : 0;
    v.dblRangeMin = positive ? 0 : v.dblRangeSignal;
}

RangeLoad RangeCancelValues(const DetectorModel& m) {
    const frame::Word zone = m.Word(status::kZoneWord);
    const unsigned regul = frame::Regul(zone);
    RangeLoad load;
    load.autoMethod = regul >= detector::kRegulAuto;
    if (!load.autoMethod) load.split = regul == detector::kRegulSpecial;
    load.distItem = ZoneIndexToItem(static_cast<int>(frame::Dist(zone)));
    load.ppItem = static_cast<int>(frame::SensPp(m.Word(status::kSensWord)));
    load.mpItem = static_cast<int>(frame::SensMp(m.Word(status::kSensWord)));
    load.bpItem = static_cast<int>(frame::SensBp(zone));
    return load;
}

RangeEnabled RangeControlsEnabled(bool manual, bool split) {
    if (!manual) return RangeEnabled{true, false, false, false, false};
    return RangeEnabled{false, true, true, split, split};
}

int RangeItemForZoneItem(const CorrespondenceTables& t, int distItem) {
    const int item = t.DistSens(ZoneItemToIndex(distItem));
    return item >= 0 && item < kThresholdItems ? item : -1;
}

double PreviewMarkerX(int selectedItem, unsigned storedIndex, const std::string& boxText,
                      const NumberFormat& f) {
    if (selectedItem < 0 || selectedItem == static_cast<int>(storedIndex)) return -1;
    return f.ParseFloat(boxText).value_or(0);
}

PageCommands RangeApplyCommands(const DetectorModel& m, const RangeChoice& choice) {
    const frame::Word sens = m.Word(status::kSensWord);
    const frame::Word zone = m.Word(status::kZoneWord);
    const frame::Word speed = m.Word(status::kSpeedWord);
    const frame::Word identity = m.Word(status::kIdentityWord);
    const unsigned dist = choice.autoMethod
                              ? static_cast<unsigned>(ZoneItemToIndex(std::max(choice.distItem, 0)))
                              : frame::Dist(zone);
    const unsigned method = choice.autoMethod ? detector::kRegulAuto
                            : choice.split    ? detector::kRegulSpecial
                                              : detector::kRegulManual;
    PageCommands c;
    c.words[command::kModeWord] = frame::Command0(
        frame::Adr(identity), ItemOr(choice.ppItem, frame::SensPp(sens)), command::kModeNormal);
    c.words[command::kThresholdsWord] =
        frame::Command1(ItemOr(choice.mpItem, frame::SensMp(sens)),
                        ItemOr(choice.bpItem, frame::SensBp(zone)), frame::Letter(identity));
    c.words[command::kZoneWord] =
        frame::Command2(frame::VelMin(speed), frame::VelMax(speed), dist, method);
    return c;
}

ParamLoad ParamLoadValues(const DetectorModel& m) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    const frame::Word identity = m.Word(status::kIdentityWord);
    ParamLoad load;
    load.minSpeedItem = static_cast<int>(frame::VelMin(speed));
    load.maxSpeedItem = static_cast<int>(frame::VelMax(speed));
    load.letterItem = static_cast<int>(frame::Letter(identity));
    load.address = std::to_string(frame::Adr(identity));
    return load;
}

PageCommands ParamSetCommands(const DetectorModel& m, int minSpeedItem, int maxSpeedItem,
                              int letterItem) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    const frame::Word zone = m.Word(status::kZoneWord);
    PageCommands c;
    c.words[command::kZoneWord] = frame::Command2(ItemOr(minSpeedItem, frame::VelMin(speed)),
                                                  ItemOr(maxSpeedItem, frame::VelMax(speed)),
                                                  frame::Dist(zone), frame::Regul(zone));
    c.words[command::kThresholdsWord] =
        frame::Command1(frame::SensMp(m.Word(status::kSensWord)), frame::SensBp(zone),
                        ItemOr(letterItem, frame::Letter(m.Word(status::kIdentityWord))));
    return c;
}

}  // namespace quillane
