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

using command::Meaning;

std::string Percent(double percent) { return WithUnit(ThresholdText(percent), unit::kPercent); }

// The command word's state field: what the detector is to do.
std::string ModeText(unsigned state) {
    if (state == command::kModeNormal) return "normal mode";
    if (state == command::kModeCalibrate) return "calibration mode";
    return "mode " + std::to_string(state);
}

// The value of the field of `meaning` in a word, if the word has one.
std::optional<unsigned> ValueOf(frame::Word w, Meaning meaning) {
    for (const command::CommandField& f : command::kFields)
        if (f.meaning == meaning && f.field.code == frame::CommandCode(w)) return f.field.Of(w);
    return std::nullopt;
}

int Index(unsigned value) { return static_cast<int>(value); }

// What one field asks, in the installer's words; the two speeds go as one.
std::string Part(Meaning meaning, unsigned v, frame::Word w, const CorrespondenceTables& t) {
    switch (meaning) {
        case Meaning::PlIndex:
            return "PL " + Percent(t.ThresholdPP(Index(v)));
        case Meaning::Address:
            return "address " + std::to_string(v);
        case Meaning::Mode:
            return ModeText(v);
        case Meaning::LlIndex:
            return "LL " + Percent(t.ThresholdMP(Index(v)));
        case Meaning::HlIndex:
            return "HL " + Percent(t.ThresholdBP(Index(v)));
        case Meaning::Unit:
            return "unit F" + std::to_string(v + 1);
        case Meaning::MinSpeed:
            return "speeds " + SpeedText(v, ValueOf(w, Meaning::MaxSpeed).value_or(v), kPoint);
        case Meaning::MaxSpeed:
            return "";
        case Meaning::Zone:
            return "zone " + WithUnit(std::to_string(DistToMetres(Index(v))), unit::kMetres);
        case Meaning::Method:
            return std::string("setup method ") + RegulText(v);
    }
    return "";
}

// The order in which an installer reads a word's fields.
constexpr Meaning kReadingOrder[] = {Meaning::PlIndex,  Meaning::Address, Meaning::Mode,
                                     Meaning::LlIndex,  Meaning::HlIndex, Meaning::Unit,
                                     Meaning::MinSpeed, Meaning::Zone,    Meaning::Method};

std::string WordMeaning(frame::Word w, const CorrespondenceTables& t) {
    std::string text;
    for (const Meaning meaning : kReadingOrder) {
        const std::optional<unsigned> v = ValueOf(w, meaning);
        if (!v) continue;
        if (!text.empty()) text += ", ";
        text += Part(meaning, *v, w, t);
    }
    return text;
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
    std::optional<frame::Word> byCode[command::kCodes];
    for (const std::uint16_t w : words)
        if (frame::CommandCode(w) < command::kCodes) byCode[frame::CommandCode(w)] = w;
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += "; ";
        text += part;
    };
    // All three thresholds of one index: the sensitivity that index stands for.
    std::optional<unsigned> pl, ll, hl;
    for (const auto& w : byCode) {
        if (!w) continue;
        if (const auto v = ValueOf(*w, Meaning::PlIndex)) pl = v;
        if (const auto v = ValueOf(*w, Meaning::LlIndex)) ll = v;
        if (const auto v = ValueOf(*w, Meaning::HlIndex)) hl = v;
    }
    if (pl && ll && hl && *pl == *ll && *pl == *hl)
        add("sensitivity " + WithUnit(std::to_string(SensToPercent(Index(*pl))), unit::kPercent));
    for (const auto& w : byCode)
        if (w) add(WordMeaning(*w, tables));
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
