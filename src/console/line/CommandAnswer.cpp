#include "console/line/CommandAnswer.h"

#include <cmath>

#include "console/line/CommandCheck.h"
#include "console/pages/StatusDisplay.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorStates.h"

namespace quillane {

namespace {

using command::Meaning;

// A value and its unit as the answer's texts write them.
std::string Valued(const std::string& number, const char* unitText) {
    return number + " " + unitText;
}

std::string Percent(double percent, const NumberFormat& f) {
    if (!std::isfinite(percent)) return "---";
    return Valued(f.General(std::round(percent * 10) / 10), unit::kPercent);
}

bool SetsSensitivity(const CommandRun& run) { return run.source == CommandSource::SetupApply; }

const char* FieldName(Meaning meaning, bool sensitivity) {
    switch (meaning) {
        case Meaning::Address:
            return "Address";
        case Meaning::PlIndex:
            return sensitivity ? "Sensitivity" : "PL";
        case Meaning::Mode:
            return "Mode";
        case Meaning::LlIndex:
            return sensitivity ? "Sensitivity" : "LL";
        case Meaning::HlIndex:
            return sensitivity ? "Sensitivity" : "HL";
        case Meaning::Unit:
            return "Unit ID";
        case Meaning::MinSpeed:
            return "Vmin";
        case Meaning::MaxSpeed:
            return "Vmax";
        case Meaning::Zone:
            return "Zone length";
        case Meaning::Method:
            return "Setup method";
    }
    return "";
}

// A field's value as the page shows it; `asked` for the value of a command
// word, else the value of a status word.
std::string ValueText(Meaning meaning, unsigned v, bool asked, bool sensitivity,
                      const CorrespondenceTables& t, const NumberFormat& f) {
    const int index = static_cast<int>(v);
    if (sensitivity &&
        (meaning == Meaning::PlIndex || meaning == Meaning::LlIndex || meaning == Meaning::HlIndex))
        return Valued(std::to_string(SensToPercent(index)), unit::kPercent);
    switch (meaning) {
        case Meaning::Address:
            return std::to_string(v);
        case Meaning::PlIndex:
            return Percent(t.ThresholdPP(index), f);
        case Meaning::Mode:
            if (!asked) return StateText(v);
            return v == command::kModeCalibrate ? StateText(detector::kStateCalibration)
                                                : StateText(detector::kStateNormal);
        case Meaning::LlIndex:
            return Percent(t.ThresholdMP(index), f);
        case Meaning::HlIndex:
            return Percent(t.ThresholdBP(index), f);
        case Meaning::Unit:
            return "F" + std::to_string(v + 1);
        case Meaning::MinSpeed:
            return Valued(f.Fixed(MinSpeedOf(v), 1), unit::kMetresPerSecond);
        case Meaning::MaxSpeed:
            return Valued(std::to_string(MaxSpeedOf(v)), unit::kMetresPerSecond);
        case Meaning::Zone:
            return Valued(std::to_string(DistToMetres(index)), unit::kMetres);
        case Meaning::Method:
            // Both read "Auto" in the info panel; only one of them has the
            // console's defaults.
            if (v == detector::kRegulAutoDefaults) return "Auto, defaults not applied";
            return RegulText(v);
    }
    return "";
}

std::string Lines(const std::vector<std::string>& texts, const char* between) {
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : between) + text;
    return joined;
}

}  // namespace

std::vector<std::string> DifferingTexts(const CommandRun& run, const CorrespondenceTables& tables,
                                        const NumberFormat& format) {
    const bool sensitivity = SetsSensitivity(run);
    std::vector<std::string> texts;
    for (const FieldAnswer& a : run.differing) {
        std::string text = std::string(FieldName(a.meaning, sensitivity)) + ": asked " +
                           ValueText(a.meaning, a.sent, true, sensitivity, tables, format);
        if (a.reported)
            text += ", detector reports " +
                    ValueText(a.meaning, *a.reported, false, sensitivity, tables, format);
        else
            text +=
                ", no answer within " + Valued(format.Fixed(CommandCheck::kAnswerSeconds, 0), "s");
        bool said = false;
        for (const std::string& t : texts) said = said || t == text;
        if (!said) texts.push_back(text);
    }
    return texts;
}

CommandAnswer WaitingAnswer(CommandSource source) {
    return {"checking ...", colour::kGrey,
            std::string(CommandSourceName(source)) + ": waiting for the detector's answer"};
}

CommandAnswer OutcomeAnswer(const CommandRun& run, const CorrespondenceTables& tables,
                            const NumberFormat& format) {
    const std::string what = CommandSourceName(run.source);
    if (run.outcome == CommandOutcome::Confirmed)
        return {"\u2713 taken", colour::kGreen,
                what + ": the detector reports the values sent, after " +
                    WithUnit(format.Fixed(run.seconds, 1), "s")};
    const std::string tip = what + ":\n" + Lines(DifferingTexts(run, tables, format), "\n");
    if (run.outcome == CommandOutcome::NotConfirmed) return {"\u2717 not taken", colour::kRed, tip};
    return {"\u2717 no answer", colour::kRed, tip};
}

bool AnsweredInInfoPanel(CommandSource source) {
    return source == CommandSource::CalibrationStart || source == CommandSource::CalibrationStop ||
           source == CommandSource::AutoDefaults;
}

}  // namespace quillane
