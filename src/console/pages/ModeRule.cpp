#include "console/pages/ModeRule.h"

#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

bool Calibrates(std::uint16_t cmd0) { return frame::CmdState(cmd0) == command::kModeCalibrate; }

}  // namespace

bool CalibrationAhead(std::optional<std::uint16_t> pendingCmd0,
                      std::optional<std::uint16_t> unansweredCmd0, std::uint16_t stateWord) {
    if (pendingCmd0) return Calibrates(*pendingCmd0);
    if (unansweredCmd0) return Calibrates(*unansweredCmd0);
    return frame::State(stateWord) == detector::kStateCalibration;
}

ModeCommand ModeCommandOnShow(Page shown, bool linked, bool calibrationAhead) {
    if (!linked) return ModeCommand::None;
    switch (shown) {
        case Page::Calibration:
            return calibrationAhead ? ModeCommand::None : ModeCommand::StartCalibration;
        case Page::Setup:
        case Page::Settings:
            return calibrationAhead ? ModeCommand::StopCalibration : ModeCommand::None;
        default:
            return ModeCommand::None;
    }
}

ModeCommand ModeCommandOnKey(Page inView, Page keyPage, bool linked, bool calibrationAhead) {
    if (keyPage != inView) return ModeCommand::None;
    return ModeCommandOnShow(inView, linked, calibrationAhead);
}

ModeCommand ModeCommandAtClose(bool calibrating, bool calibrationAhead) {
    return calibrating || calibrationAhead ? ModeCommand::StopCalibration : ModeCommand::None;
}

ModeCommand ModeCommandOnLeave(Page left, bool linked, bool calibrationAhead) {
    if (!linked || left != Page::Calibration || !calibrationAhead) return ModeCommand::None;
    return ModeCommand::StopCalibration;
}

}  // namespace quillane
