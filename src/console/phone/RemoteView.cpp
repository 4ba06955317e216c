#include "console/phone/RemoteView.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "console/pages/SenseView.h"
#include "console/pages/StatusDisplay.h"
#include "console/phone/AimingTone.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

using Values = RemoteViewValues;

const char* PageText(Page page) {
    switch (page) {
        case Page::Calibration:
            return "Calibration";
        case Page::Setup:
            return "Setup";
        case Page::Settings:
            return "Settings";
        case Page::Properties:
            return "Properties";
        case Page::About:
            return "About";
    }
    return "";
}

const char* LinkText(Values::Link link) {
    switch (link) {
        case Values::Link::Linked:
            return "linked";
        case Values::Link::Lost:
            return "lost";
        case Values::Link::Waiting:
            return "waiting";
    }
    return "";
}

// Aiming: the Calibration page in view, and the detector calibrating with
// signal words coming; anywhere else the page's values stand still.
void TuneUp(const RemoteViewSources& s, Values& v) {
    const TuneUpValues tuneUp = s.held.tuneUp.value_or(TuneUpValues{});
    const NumberFormat& f = s.format;
    v.signal = Values::Reading{f.Fixed(tuneUp.dblTuneUpSignal, 3), unit::kMilliVolts};
    v.maximum = Values::Maximum{f.Fixed(tuneUp.dblTuneUpMax, 3), unit::kMilliVolts,
                                Closeness(tuneUp.dblTuneUpSignal, tuneUp.dblTuneUpMax),
                                TuneUpBarLime(tuneUp.dblTuneUpSignal, tuneUp.dblTuneUpMax)};
    const bool aiming =
        s.link >= EDevWork && frame::State(s.model.Word(2)) == detector::kStateCalibration;
    v.toneHz = AimingToneHz(tuneUp.dblTuneUpSignal, tuneUp.dblTuneUpMax, aiming);
}

// The detector's present lower (LL) and upper (PL) levels, as the Setup
// page's markers stand.
void Sense(const RemoteViewSources& s, Values& v) {
    const NumberFormat& f = s.format;
    v.signal = Values::Reading{f.Fixed(s.held.senseSignal.value_or(0), 3), unit::kMilliVolts};
    const SenseChart levels = SenseChartValues(s.model, s.tables, kSenseMaxPercent, false);
    const frame::Word w = s.model.Word(1);
    v.thresholds = {{"LL", f.Fixed(levels.lower, 3), unit::kMilliVolts, frame::Mp(w) != 0},
                    {"PL", f.Fixed(levels.upper, 3), unit::kMilliVolts, frame::Pp(w) != 0}};
}

// The deviation in percent against the largest positive one, and the three
// threshold percentages, filled while the detector's flag for it is set.
void Range(const RemoteViewSources& s, Values& v) {
    const RangeValues range = s.held.range.value_or(RangeValues{});
    const NumberFormat& f = s.format;
    const double signal = range.dblRangeSignal;
    const double maximum = range.dblRangeMax;
    v.signal = Values::Reading{f.Fixed(signal, 1), unit::kPercent};
    v.maximum = Values::Maximum{f.Fixed(maximum, 1), unit::kPercent, Closeness(signal, maximum),
                                maximum > 0 && signal / maximum >= 0.9};
    const frame::Word w = s.model.Word(1);
    const frame::Word sens = s.model.Word(3);
    const auto percent = [&](double p) { return f.Fixed(p, 1); };
    v.thresholds = {
        {"PL", percent(s.tables.ThresholdPP(static_cast<int>(frame::SensPp(sens)))), unit::kPercent,
         frame::Pp(w) != 0},
        {"LL", percent(s.tables.ThresholdMP(static_cast<int>(frame::SensMp(sens)))), unit::kPercent,
         frame::Mp(w) != 0},
        {"HL", percent(s.tables.ThresholdBP(static_cast<int>(frame::SensBp(s.model.Word(4))))),
         unit::kPercent, frame::Bp(w) != 0}};
}

// Closeness to a thousandth: finer steps would change the message with every
// word without changing what a phone shows.
double Thousandths(double x) { return std::round(x * 1000.0) / 1000.0; }

nlohmann::json Reading(const std::optional<Values::Reading>& r) {
    if (!r) return nullptr;
    nlohmann::json j;
    j["text"] = r->text;
    j["unit"] = r->unit;
    return j;
}

nlohmann::json Maximum(const std::optional<Values::Maximum>& m) {
    if (!m) return nullptr;
    nlohmann::json j;
    j["text"] = m->text;
    j["unit"] = m->unit;
    j["closeness"] = Thousandths(m->closeness);
    j["near"] = m->near;
    return j;
}

}  // namespace

RemoteViewValues::Link RemoteLinkOf(DeviceState link, bool detectorSeen) {
    return link > EDevNone ? Values::Link::Linked
           : detectorSeen  ? Values::Link::Lost
                           : Values::Link::Waiting;
}

RemoteViewValues RemoteViewOf(const RemoteViewSources& s) {
    Values v;
    v.page = s.page;
    v.link = RemoteLinkOf(s.link, s.detectorSeen);
    v.mode = v.link == Values::Link::Linked ? StateText(frame::State(s.model.Word(2))) : "---";
    v.alarms.page = s.tally.page;
    v.alarms.count = s.tally.count;
    v.alarms.on = s.tally.on;
    v.alarms.counting = s.tally.on && s.page == s.tally.page;
    v.alarms.serial = s.alarms.Serial();
    v.alarms.list = s.alarms.Newest();
    switch (s.page) {
        case Page::Calibration:
            TuneUp(s, v);
            break;
        case Page::Setup:
            Sense(s, v);
            break;
        case Page::Settings:
            Range(s, v);
            break;
        case Page::Properties:
        case Page::About:
            break;
    }
    return v;
}

std::string RemoteViewJson(const RemoteViewValues& v) {
    // Built member by member and moved in: it is made several times a second.
    nlohmann::json alarms;
    alarms["page"] = PageText(v.alarms.page);
    alarms["count"] = v.alarms.count;
    alarms["on"] = v.alarms.on;
    alarms["counting"] = v.alarms.counting;
    alarms["serial"] = v.alarms.serial;
    nlohmann::json& list = alarms["list"] = nlohmann::json::array();
    for (const CountedAlarm& a : v.alarms.list) {
        nlohmann::json& e = list.emplace_back();
        e["time"] = a.time;
        e["page"] = PageText(a.page);
        e["count"] = a.count;
    }
    nlohmann::json j;
    j["page"] = PageText(v.page);
    j["signal"] = Reading(v.signal);
    j["maximum"] = Maximum(v.maximum);
    j["mode"] = v.mode;
    j["link"] = LinkText(v.link);
    j["alarms"] = std::move(alarms);
    nlohmann::json& thresholds = j["thresholds"] = nlohmann::json::array();
    for (const Values::Threshold& t : v.thresholds) {
        nlohmann::json& e = thresholds.emplace_back();
        e["name"] = t.name;
        e["text"] = t.text;
        e["unit"] = t.unit;
        e["crossed"] = t.crossed;
    }
    j["tone"] = v.toneHz ? nlohmann::json(*v.toneHz) : nlohmann::json(nullptr);
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string SharingText(bool shared, int viewers) {
    if (!shared) return "off";
    if (viewers <= 0) return "on";
    return viewers == 1 ? "on: 1 phone" : "on: " + std::to_string(viewers) + " phones";
}

}  // namespace quillane
