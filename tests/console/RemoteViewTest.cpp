// What a phone shows of the console: the values of the page in view, the
// aiming tone, the alarms counted, the message it is sent, what goes at once
// and what keeps the pace, and where the phone view's dialog stands.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "FakeClock.h"
#include "StatusWords.h"
#include "console/pages/SidePlacement.h"
#include "console/phone/AimingTone.h"
#include "console/phone/CountedAlarms.h"
#include "console/phone/RemoteView.h"
#include "console/phone/SnapshotPace.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"

namespace quillane {
namespace {

namespace word = test::word;
using test::FakeClock;
using Link = RemoteViewValues::Link;
using Count = SiteRecord::Count;

TEST(AimingTone, RisesThreeOctavesTowardsTheMaximumAndIsSilentWhenNothingIsAimed) {
    const struct {
        double signal, maximum;
        bool aiming;
        std::optional<int> hz;
    } cases[] = {
        {0, 1, true, 220},       {0.5, 1, true, 622},  {0.9, 1, true, 1430}, {1, 1, true, 1760},
        {0.45, 0.5, true, 1430}, {1.2, 1, true, 1760}, {-0.2, 1, true, 220}, {0.5, 0, true, {}},
        {0, 0, true, {}},        {0.5, -1, true, {}},  {0.9, 1, false, {}},  {1, 1, false, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AimingToneHz(c.signal, c.maximum, c.aiming), c.hz)
            << c.signal << " of " << c.maximum << (c.aiming ? " aiming" : "");
}

PageHeld TuneUp(double signal, double maximum) {
    PageHeld h;
    h.tuneUp = TuneUpValues{signal, maximum};
    return h;
}

PageHeld Range(double signal, double maximum) {
    PageHeld h;
    h.range = RangeValues{signal, maximum, -2};
    return h;
}

struct RemoteViewTest : ::testing::Test {
    RemoteViewTest() { tables.Fill(ProfileFile("/nonexistent/Quillane.ini")); }

    RemoteViewValues View(Page page, DeviceState link, const PageHeld& held = {},
                          AlarmTally tally = {}) const {
        return RemoteViewOf({model, link, seen, page, held, tally, alarms, tables, format});
    }
    void SetState(unsigned state) { model.current[2] = word::State(state, 500); }

    NumberFormat format{','};
    CorrespondenceTables tables{format};
    DetectorModel model;
    CountedAlarms alarms;
    bool seen = true;
};

TEST_F(RemoteViewTest, ShowsTheSignalInThePagesUnitWithItsMaximumAndTone) {
    PageHeld sense;
    sense.senseSignal = 0.5124;
    const PageHeld aim = TuneUp(0.45, 0.5), none;
    const Page cal = Page::Calibration, walk = Page::Settings, setup = Page::Setup;
    const struct {
        const char* what;
        Page page;
        DeviceState link;
        unsigned state;
        PageHeld held;
        const char *signal, *maximum;  // text and unit, "" for none
        double closeness;
        bool near;
        int tone;  // 0: silent
    } cases[] = {
        {"aiming", cal, EDevWork, 2, aim, "0,450 mV", "0,500 mV", 0.9, true, 1430},
        {"all words", cal, EDevAllPakets, 2, TuneUp(0.1, 0.5), "0,100 mV", "0,500 mV", 0.2, false,
         333},
        {"maximum 0", cal, EDevWork, 2, TuneUp(0, 0), "0,000 mV", "0,000 mV", 0, true, 0},
        {"signal lost", cal, EDevWork, 1, aim, "0,450 mV", "0,500 mV", 0.9, true, 0},
        {"found, no words yet", cal, EDevDetect, 2, aim, "0,450 mV", "0,500 mV", 0.9, true, 0},
        {"link lost", cal, EDevNone, 2, aim, "0,450 mV", "0,500 mV", 0.9, true, 0},
        {"deviation", walk, EDevWork, 0, Range(12.34, 40), "12,3 %", "40,0 %", 12.34 / 40, false,
         0},
        {"at the largest", walk, EDevWork, 0, Range(38, 40), "38,0 %", "40,0 %", 0.95, true, 0},
        {"below the average", walk, EDevWork, 0, Range(-5, 0), "-5,0 %", "0,0 %", 0, false, 0},
        {"setup", setup, EDevWork, 0, sense, "0,512 mV", "", 0, false, 0},
        {"setup, no signal yet", setup, EDevWork, 0, none, "0,000 mV", "", 0, false, 0},
        {"about", Page::About, EDevWork, 0, none, "", "", 0, false, 0},
        {"properties", Page::Properties, EDevWork, 0, none, "", "", 0, false, 0},
    };
    const auto joined = [](const auto& r) { return r ? r->text + " " + r->unit : std::string(); };
    for (const auto& c : cases) {
        SetState(c.state);
        const RemoteViewValues v = View(c.page, c.link, c.held);
        EXPECT_EQ(joined(v.signal), c.signal) << c.what;
        EXPECT_EQ(joined(v.maximum), c.maximum) << c.what;
        if (v.maximum) {
            EXPECT_NEAR(v.maximum->closeness, c.closeness, 1e-9) << c.what;
            EXPECT_EQ(v.maximum->near, c.near) << c.what;
        }
        EXPECT_EQ(v.toneHz.value_or(0), c.tone) << c.what;
    }
}

TEST_F(RemoteViewTest, TellsTheLinkAndTheModeAsTheInfoPanelDoes) {
    const struct {
        DeviceState link;
        bool seen;
        unsigned state;
        Link shown;
        const char* mode;
    } cases[] = {
        {EDevNone, false, 0, Link::Waiting, "---"},
        {EDevDetect, false, 0, Link::Linked, "Normal"},
        {EDevWork, true, 1, Link::Linked, "Alarm"},
        {EDevNone, true, 2, Link::Lost, "---"},
    };
    for (const auto& c : cases) {
        seen = c.seen;
        SetState(c.state);
        const RemoteViewValues v = View(Page::Setup, c.link);
        EXPECT_EQ(v.link, c.shown) << int(c.link) << c.seen;
        EXPECT_EQ(v.mode, c.mode) << int(c.link) << c.seen;
    }
}

// Each row changes the console from the snapshot sent before it; the news
// compared are those of the views themselves, as the window compares them.
TEST_F(RemoteViewTest, TheLinkChangingAndEachAlarmCountedGoAtOnceTheRestAtThePace) {
    using Send = SnapshotSend;
    const struct {
        const char* what;
        bool seen;
        unsigned state;
        Count note;
        int n;  // the count noted; -1: nothing noted
        DeviceState link;
        Page page;
        Send send;
    } cases[] = {
        {"nothing changed", false, 2, Count::On, -1, EDevNone, Page::About, Send::AtPace},
        {"a detector linked", true, 2, Count::On, -1, EDevDetect, Page::Setup, Send::AtOnce},
        {"the signal moved", true, 1, Count::On, -1, EDevWork, Page::Setup, Send::AtPace},
        {"counting switched on", true, 1, Count::On, 0, EDevWork, Page::Setup, Send::AtPace},
        {"an alarm counted", true, 1, Count::Alarm, 1, EDevWork, Page::Setup, Send::AtOnce},
        {"another page", true, 1, Count::On, -1, EDevWork, Page::Calibration, Send::AtPace},
        {"the link lost", true, 1, Count::On, -1, EDevNone, Page::About, Send::AtOnce},
        {"back, with an alarm", true, 1, Count::Alarm, 2, EDevWork, Page::Setup, Send::AtOnce},
        {"the count reset", true, 1, Count::Reset, 2, EDevWork, Page::Setup, Send::AtPace},
        {"an alarm after it", true, 1, Count::Alarm, 1, EDevWork, Page::Setup, Send::AtOnce},
        {"another state", true, 1, Count::On, -1, EDevAllPakets, Page::Setup, Send::AtPace},
    };
    seen = false;
    SetState(2);
    PhoneNews sent = PhoneNewsOf(View(Page::About, EDevNone));
    for (const auto& c : cases) {
        seen = c.seen;
        SetState(c.state);
        if (c.n >= 0) alarms.Note(Page::Setup, c.note, c.n, FakeClock::At(10, 20, 30, 0));
        const PhoneNews now = PhoneNewsOf(View(c.page, c.link));
        EXPECT_EQ(SnapshotSendOf(sent, now), c.send) << c.what;
        EXPECT_EQ(SnapshotSendOf(now, now), Send::AtPace) << c.what;
        sent = now;
    }
}

std::vector<std::string> Thresholds(const RemoteViewValues& v) {
    std::vector<std::string> shown;
    for (const auto& t : v.thresholds)
        shown.push_back(t.name + " " + t.text + " " + t.unit + (t.crossed ? " crossed" : ""));
    return shown;
}

TEST_F(RemoteViewTest, ThresholdsAreThoseOfThePageInViewWithTheirFlags) {
    tables.sgSense.SetCell(11, 1, "33,3");                            // PL of index 10
    tables.sgSense.SetCell(13, 2, "20");                              // LL of index 12
    tables.sgSense.SetCell(15, 3, "45,5");                            // HL of index 14
    model.current[1] = word::Code(1, (1u << 10) | (1u << 12) | 400);  // PL and HL crossed
    model.current[2] = word::State(0, 500);
    model.current[3] = word::Sens(10, 12);
    model.current[4] = word::Zone(0, 10, 14);
    model.current[5] = word::Speed(0, 1, 3, 2);
    using Shown = std::vector<std::string>;
    EXPECT_EQ(Thresholds(View(Page::Settings, EDevWork, Range(0, 0))),
              (Shown{"PL 33,3 % crossed", "LL 20,0 %", "HL 45,5 % crossed"}));
    // The Setup page's levels: LL 20 % below the average, PL 33.3 % above.
    const double average = SignalToMilliVolts(0, 2, 500);
    EXPECT_EQ(Thresholds(View(Page::Setup, EDevWork)),
              (Shown{"LL " + format.Fixed(average * 0.8, 3) + " mV",
                     "PL " + format.Fixed(average * 1.333, 3) + " mV crossed"}));
    EXPECT_TRUE(View(Page::Calibration, EDevWork, TuneUp(1, 1)).thresholds.empty());
}

TEST_F(RemoteViewTest, TheCountCountsOnlyWhileItsPageIsInView) {
    const struct {
        Page inView;
        bool on, counting;
    } cases[] = {{Page::Setup, true, true},
                 {Page::Calibration, true, false},
                 {Page::Settings, true, false},
                 {Page::Setup, false, false}};
    for (const auto& c : cases)
        EXPECT_EQ(View(c.inView, EDevWork, {}, AlarmTally{Page::Setup, 7, c.on}).alarms.counting,
                  c.counting)
            << int(c.inView) << c.on;
}

TEST(SharingText, SaysWhetherItIsSharedAndHowManyPhonesWatch) {
    EXPECT_EQ(SharingText(false, 3), "off");
    EXPECT_EQ(SharingText(true, 0), "on");
    EXPECT_EQ(SharingText(true, 1), "on: 1 phone");
    EXPECT_EQ(SharingText(true, 5), "on: 5 phones");
}

TEST(CountedAlarms, KeepTheAlarmsEachCountHoldsNewestFirstAndNumberThemOn) {
    CountedAlarms a;
    const double t = FakeClock::At(10, 20, 30, 456);
    a.Note(Page::Setup, Count::On, 0, t);
    a.Note(Page::Setup, Count::Alarm, 1, t);
    a.Note(Page::Settings, Count::Alarm, 1, FakeClock::At(10, 21, 0, 0));
    a.Note(Page::Setup, Count::Alarm, 2, FakeClock::At(10, 22, 5, 999));
    EXPECT_EQ(a.Newest(), (std::deque<CountedAlarm>{{"10:22:05", Page::Setup, 2},
                                                    {"10:21:00", Page::Settings, 1},
                                                    {"10:20:30", Page::Setup, 1}}));
    EXPECT_EQ(a.Serial(), 3);
    // A reset clears its own group's alarms with the count; the number goes on.
    a.Note(Page::Setup, Count::Reset, 2, t);
    EXPECT_EQ(a.Newest(), (std::deque<CountedAlarm>{{"10:21:00", Page::Settings, 1}}));
    a.Note(Page::Settings, Count::Off, 1, t);
    EXPECT_TRUE(a.Newest().empty());
    a.Note(Page::Setup, Count::Alarm, 1, t);
    EXPECT_EQ(a.Serial(), 4);
    // A long walk keeps the newest the phone shows.
    for (int n = 2; n <= 30; ++n) a.Note(Page::Setup, Count::Alarm, n, t);
    ASSERT_EQ(a.Newest().size(), CountedAlarms::kKept);
    EXPECT_EQ(a.Newest().front().count, 30);
    EXPECT_EQ(a.Newest().back().count, 30 - static_cast<long long>(CountedAlarms::kKept) + 1);
}

// Every value `want` names, nested ones by their path, is the message's.
void ExpectCarries(const std::string& message, const char* want) {
    const nlohmann::json got = nlohmann::json::parse(message).flatten();
    const nlohmann::json wanted = nlohmann::json::parse(want).flatten();
    for (const auto& [path, value] : wanted.items())
        EXPECT_EQ(got.value(path, nlohmann::json("absent")), value) << path;
}

TEST_F(RemoteViewTest, TheMessageIsOneLineOfJsonWithEveryValue) {
    alarms.Note(Page::Setup, Count::Alarm, 1, FakeClock::At(9, 5, 7, 0));
    SetState(2);
    ExpectCarries(RemoteViewJson(View(Page::Calibration, EDevWork, TuneUp(0.45, 0.5),
                                      AlarmTally{Page::Setup, 1, true})),
                  R"({"page": "Calibration", "signal": {"text": "0,450", "unit": "mV"},
                      "maximum": {"closeness": 0.9, "near": true}, "mode": "Calibration",
                      "link": "linked", "tone": 1430, "thresholds": [],
                      "alarms": {"count": 1, "counting": false, "serial": 1,
                                 "list": [{"time": "09:05:07", "page": "Setup", "count": 1}]}})");
    const std::string lost = RemoteViewJson(View(Page::About, EDevNone));
    EXPECT_EQ(lost.find('\n'), std::string::npos);
    ExpectCarries(lost, R"({"link": "lost", "signal": null, "maximum": null, "tone": null,
                            "mode": "---"})");
}

TEST(SidePlacement, BesideTheWindowWhereTheScreenHasRoomElseOverItsFoot) {
    const struct {
        const char* what;
        ScreenArea window;
        ScreenPoint at;
    } cases[] = {
        {"room on the right", {560, 300, 800, 480}, {1360, 300}},
        {"only on the left", {1000, 300, 800, 480}, {700, 300}},
        {"only below", {0, 100, 1900, 480}, {0, 580}},
        {"only above", {0, 600, 1900, 440}, {0, 200}},
        {"beside, kept on the screen", {560, 800, 800, 480}, {1360, 640}},
        {"nowhere: over the foot", {10, 300, 1900, 700}, {10, 640}},
        {"nowhere, screen too small", {0, 0, 1920, 1040}, {0, 640}},
    };
    for (const auto& c : cases) {
        const ScreenPoint at = PlaceBeside({0, 0, 1920, 1040}, c.window, 300, 400);
        EXPECT_EQ(std::make_pair(at.x, at.y), std::make_pair(c.at.x, c.at.y)) << c.what;
    }
}

}  // namespace
}  // namespace quillane
