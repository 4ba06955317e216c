#include "console/pages/TuneUpView.h"

#include "model/Conversions.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {

TuneUpDisplay RefreshTuneUp(const DetectorModel& m, TuneUpValues& v, double nowDays,
                            const NumberFormat& f) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    const double mv = SignalToMilliVolts(frame::Ref(speed), frame::Amplif(speed),
                                         frame::Sig(m.Word(status::kSignalWord)));
    TuneUpDisplay d;
    if (mv >= v.dblTuneUpMax) {
        // A maximum held keeps the time it was first reached.
        if (mv > v.dblTuneUpMax || v.maxReachedDays == 0) v.maxReachedDays = nowDays;
        v.dblTuneUpMax = mv;
        d.maxText = f.Fixed(v.dblTuneUpMax, 3);
        d.axis = ScaleAxisToValue(v.dblTuneUpMax);
    }
    v.dblTuneUpSignal = mv;
    d.signalText = f.Fixed(v.dblTuneUpSignal, 3);
    d.barLime = TuneUpBarLime(v.dblTuneUpSignal, v.dblTuneUpMax);
    return d;
}

TuneUpDisplay ResetTuneUpMax(TuneUpValues& v, double nowDays, const NumberFormat& f) {
    v.dblTuneUpMax = v.dblTuneUpSignal;
    v.maxReachedDays = nowDays;
    TuneUpDisplay d;
    d.maxText = f.Fixed(v.dblTuneUpMax, 3);
    d.axis = ScaleAxisToValue(v.dblTuneUpMax);
    d.signalText = f.Fixed(v.dblTuneUpSignal, 3);
    return d;
}

bool TuneUpBarLime(double signal, double maximum) {
    if (maximum == 0) return true;
    return signal / maximum >= 0.9;
}

}  // namespace quillane
