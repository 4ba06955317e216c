#include "console/pages/TuneUpView.h"

#include "model/Conversions.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {

TuneUpDisplay RefreshTuneUp(const DetectorModel& m, TuneUpValues& v) {
    const frame::Word speed = m.Word(status::kSpeedWord);
    const double mv = SignalToMilliVolts(frame::Ref(speed), frame::Amplif(speed),
                                         frame::Sig(m.Word(status::kSignalWord)));
    TuneUpDisplay d;
    if (mv >= v.dblTuneUpMax) {
        v.dblTuneUpMax = mv;
        d.maxShown = true;
        d.axis = ScaleAxisToValue(v.dblTuneUpMax);
    }
    v.dblTuneUpSignal = mv;
    d.barLime = TuneUpBarLime(v.dblTuneUpSignal, v.dblTuneUpMax);
    return d;
}

std::string TuneUpText(double milliVolts, const NumberFormat& f) { return f.Fixed(milliVolts, 3); }

bool TuneUpBarLime(double signal, double maximum) {
    if (maximum == 0) return true;
    return signal / maximum >= 0.9;
}

}  // namespace quillane
