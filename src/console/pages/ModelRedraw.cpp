#include "console/pages/ModelRedraw.h"

#include "console/pages/RedrawLimit.h"
#include "protocol/DetectorModel.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {

std::optional<DrawnFrom> DrawnFromOf(Page page, const DetectorModel& m, bool working) {
    const frame::Word state = m.Word(status::kStateWord);
    const frame::Word speed = m.Word(status::kSpeedWord);
    const frame::Word sens = m.Word(status::kSensWord);
    const frame::Word zone = m.Word(status::kZoneWord);
    const unsigned sig = frame::Sig(m.Word(status::kSignalWord));
    DrawnFrom d;
    switch (page) {
        case Page::Calibration:
            if (!working || frame::State(state) != detector::kStateCalibration) return std::nullopt;
            d.values = {sig, frame::Ref(speed), frame::Amplif(speed)};
            return d;
        case Page::Setup: {
            const bool follows = working && frame::State(state) == detector::kStateNormal;
            d.values = {working,
                        frame::State(state),
                        frame::Aver(state),
                        frame::SensPp(sens),
                        frame::SensMp(sens),
                        frame::Regul(zone),
                        frame::Ref(speed),
                        frame::Amplif(speed),
                        follows ? sig : 0u};
            return d;
        }
        case Page::Settings:
            d.values = {m.Word(status::kSignalWord),
                        frame::Aver(state),
                        frame::State(m.Previous(status::kStateWord)),
                        frame::SensPp(sens),
                        frame::SensMp(sens),
                        frame::SensBp(zone)};
            return d;
        default:
            return std::nullopt;
    }
}

bool ModelRedrawDue(Page page, const std::optional<DrawnFrom>& drawn, const DetectorModel& m,
                    bool working, double nowSeconds, RedrawLimit& limit, int selectFilter) {
    const std::optional<DrawnFrom> now = DrawnFromOf(page, m, working);
    if (!now || now == drawn) return false;
    return page == Page::Settings || limit.Allow(nowSeconds, selectFilter);
}

}  // namespace quillane
