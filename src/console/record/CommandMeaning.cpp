#include "console/record/CommandMeaning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "console/pages/StatusDisplay.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

const NumberFormat kPoint('.');

std::string Percent(double percent) { return WithUnit(ThresholdText(percent), unit::kPercent); }

// The command word's state field: what the detector is to do.
std::string ModeText(unsigned state) {
    if (state == 0) return "normal mode";
    if (state == 1) return "calibration mode";
    return "mode " + std::to_string(state);
}

std::string Code0(frame::Word w, const CorrespondenceTables& t) {
    return "PL " + Percent(t.ThresholdPP(static_cast<int>(frame::CmdSensPp(w)))) + ", address " +
           std::to_string(frame::CmdAdr(w)) + ", " + ModeText(frame::CmdState(w));
}

std::string Code1(frame::Word w, const CorrespondenceTables& t) {
    return "LL " + Percent(t.ThresholdMP(static_cast<int>(frame::CmdSensMp(w)))) + ", HL " +
           Percent(t.ThresholdBP(static_cast<int>(frame::CmdSensBp(w)))) + ", unit F" +
           std::to_string(frame::CmdLetter(w) + 1);
}

std::string Code2(frame::Word w) {
    const auto dist = static_cast<int>(frame::CmdDist(w));
    return "speeds " + SpeedText(frame::CmdMinSpd(w), frame::CmdMaxSpd(w), kPoint) + ", zone " +
           WithUnit(std::to_string(DistToMetres(dist)), unit::kMetres) + ", setup method " +
           RegulText(frame::CmdReg(w));
}

}  // namespace

std::string ThresholdText(double percent) {
    if (!std::isfinite(percent)) return "---";
    return kPoint.General(std::round(percent * 10) / 10);
}

std::string CommandMeaning(const std::vector<std::uint16_t>& words,
                           const CorrespondenceTables& tables) {
    // A slot holds one word per code: a later word of the same code replaces
    // the earlier one before anything is sent.
    std::optional<frame::Word> byCode[3];
    for (const std::uint16_t w : words)
        if (frame::CommandCode(w) < 3) byCode[frame::CommandCode(w)] = w;
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += "; ";
        text += part;
    };
    if (byCode[0] && byCode[1]) {
        const unsigned pp = frame::CmdSensPp(*byCode[0]);
        if (pp == frame::CmdSensMp(*byCode[1]) && pp == frame::CmdSensBp(*byCode[1]))
            add("sensitivity " +
                WithUnit(std::to_string(SensToPercent(static_cast<int>(pp))), unit::kPercent));
    }
    if (byCode[0]) add(Code0(*byCode[0], tables));
    if (byCode[1]) add(Code1(*byCode[1], tables));
    if (byCode[2]) add(Code2(*byCode[2]));
    return text;
}

std::string CommandWordsText(const std::vector<std::uint16_t>& words) {
    std::string text;
    for (const std::uint16_t w : words) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(w));
        if (!text.empty()) text.push_back(' ');
        text += hex;
    }
    return text;
}

}  // namespace quillane
