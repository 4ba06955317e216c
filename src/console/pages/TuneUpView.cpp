#include "console/pages/TuneUpView.h"

#include "model/Conversions.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {

TuneUpDisplay RefreshTuneUp(const DetectorModel& m, TuneUpValues& v, double nowDays) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    const double mv = SignalToMilliVolts(frame::Ref(speed), frame::Amplif(speed),
                                         frame::Sig(m.Word(status::kSignalWord)));
    TuneUpDisplay d;
    if (mv >= v.dblTuneUpMax) {
        // A maximum held keeps the time it was first reached.
        if (mv > v.dblTuneUpMax || v.maxReachedDays == 0) v.maxReachedDays = nowDays;
        v.dblTuneUpMax = mv;
        d.maxShown = true;
        d.axis = ScaleAxisToValue(v.dblTuneUpMax);
    }
    v.dblTuneUpSignal = mv;
    d.barLime = TuneUpBarLime(v.dblTuneUpSignal, v.dblTuneUpMax);
    return d;
}

TuneUpDisplay ResetTuneUpMax(TuneUpValues& v, double nowDays) {
    v.dblTuneUpMax = v.dblTuneUpSignal;
    v.maxReachedDays = nowDays;
    TuneUpDisplay d;
    d.maxShown = true;
    d.axis = ScaleAxisToValue(v.dblTuneUpMax);
    return d;
}

std::string TuneUpText(double milliVolts, const NumberFormat& f) { return f.Fixed(milliVolts, 3); }

bool TuneUpBarLime(double signal, double maximum) {
    if (maximum == 0) return true;
    return signal / maximum >= 0.9;
}

}  // namespace quillane
