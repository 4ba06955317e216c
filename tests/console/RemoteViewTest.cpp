// What a phone shows of the console: the values of the page in view, the
// aiming tone, the alarms counted, the message it is sent, and where the
// phone view's dialog stands beside the window; what goes at once and what
// keeps the pace.
#include <gtest/gtest.h>

#include <functional>
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

struct RemoteViewTest : ::testing::Test {
    RemoteViewTest() { tables.Fill(ProfileFile("/nonexistent/Quillane.ini")); }

    RemoteViewValues View(Page page, DeviceState link, const PageHeld& held,
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

TEST_F(RemoteViewTest, ShowsTheSignalInThePagesUnitWithItsMaximumAndTone) {
    PageHeld sense;
    sense.senseSignal = 0.5124;
    const struct {
        const char* what;
        Page page;
        DeviceState link;
        unsigned state;
        PageHeld held;
        const char* signal;   // text and unit, "" for none
        const char* maximum;  // text and unit, "" for none
        double closeness;
        bool near;
        std::optional<int> tone;
    } cases[] = {
        {"aiming", Page::Calibration, EDevWork, 2, TuneUp(0.45, 0.5), "0,450 mV", "0,500 mV", 0.9,
         true, 1430},
        {"aiming, all words", Page::Calibration, EDevAllPakets, 2, TuneUp(0.1, 0.5), "0,100 mV",
         "0,500 mV", 0.2, false, 333},
        {"a maximum of 0",
         Page::Calibration,
         EDevWork,
         2,
         TuneUp(0, 0),
         "0,000 mV",
         "0,000 mV",
         0,
         true,
         {}},
        {"signal lost while aiming",
         Page::Calibration,
         EDevWork,
         1,
         TuneUp(0.45, 0.5),
         "0,450 mV",
         "0,500 mV",
         0.9,
         true,
         {}},
        {"found, no signal words yet",
         Page::Calibration,
         EDevDetect,
         2,
         TuneUp(0.45, 0.5),
         "0,450 mV",
         "0,500 mV",
         0.9,
         true,
         {}},
        {"link lost",
         Page::Calibration,
         EDevNone,
         2,
         TuneUp(0.45, 0.5),
         "0,450 mV",
         "0,500 mV",
         0.9,
         true,
         {}},
        {"walk test, deviation",
         Page::Settings,
         EDevWork,
         0,
         Range(12.34, 40),
         "12,3 %",
         "40,0 %",
         12.34 / 40,
         false,
         {}},
        {"at the largest deviation",
         Page::Settings,
         EDevWork,
         0,
         Range(38, 40),
         "38,0 %",
         "40,0 %",
         0.95,
         true,
         {}},
        {"below the average",
         Page::Settings,
         EDevWork,
         0,
         Range(-5, 0),
         "-5,0 %",
         "0,0 %",
         0,
         false,
         {}},
        {"setup", Page::Setup, EDevWork, 0, sense, "0,512 mV", "", 0, false, {}},
        {"setup before any signal",
         Page::Setup,
         EDevWork,
         0,
         PageHeld{},
         "0,000 mV",
         "",
         0,
         false,
         {}},
        {"about", Page::About, EDevWork, 0, PageHeld{}, "", "", 0, false, {}},
        {"properties", Page::Properties, EDevWork, 0, PageHeld{}, "", "", 0, false, {}},
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
        EXPECT_EQ(v.toneHz, c.tone) << c.what;
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
        {EDevAllPakets, true, 3, Link::Linked, "Malfunction"},
        {EDevNone, true, 2, Link::Lost, "---"},
    };
    for (const auto& c : cases) {
        seen = c.seen;
        SetState(c.state);
        const RemoteViewValues v = View(Page::Setup, c.link, PageHeld{});
        EXPECT_EQ(v.link, c.shown) << int(c.link) << c.seen;
        EXPECT_EQ(v.mode, c.mode) << int(c.link) << c.seen;
    }
}

// Each row changes the console from the snapshot sent before it; the news
// compared are those of the views themselves, as the window compares them.
TEST_F(RemoteViewTest, TheLinkChangingAndEachAlarmCountedGoAtOnceTheRestAtThePace) {
    using Send = SnapshotSend;
    const double t = FakeClock::At(10, 20, 30, 0);
    const struct {
        const char* what;
        std::function<void(RemoteViewTest&)> change;
        DeviceState link;
        Page page;
        Send send;
    } cases[] = {
        {"nothing changed", [](RemoteViewTest&) {}, EDevNone, Page::About, Send::AtPace},
        {"a detector linked", [](RemoteViewTest& f) { f.seen = true; }, EDevDetect, Page::Setup,
         Send::AtOnce},
        {"the signal moved", [](RemoteViewTest& f) { f.SetState(1); }, EDevWork, Page::Setup,
         Send::AtPace},
        {"counting switched on",
         [t](RemoteViewTest& f) { f.alarms.Note(Page::Setup, SiteRecord::Count::On, 0, t); },
         EDevWork, Page::Setup, Send::AtPace},
        {"an alarm counted",
         [t](RemoteViewTest& f) { f.alarms.Note(Page::Setup, SiteRecord::Count::Alarm, 1, t); },
         EDevWork, Page::Setup, Send::AtOnce},
        {"another page in view", [](RemoteViewTest&) {}, EDevWork, Page::Calibration, Send::AtPace},
        {"the link lost", [](RemoteViewTest&) {}, EDevNone, Page::About, Send::AtOnce},
        {"the link back, an alarm counted with it",
         [t](RemoteViewTest& f) { f.alarms.Note(Page::Setup, SiteRecord::Count::Alarm, 2, t); },
         EDevWork, Page::Setup, Send::AtOnce},
        {"the count reset: no alarm",
         [t](RemoteViewTest& f) { f.alarms.Note(Page::Setup, SiteRecord::Count::Reset, 2, t); },
         EDevWork, Page::Setup, Send::AtPace},
        {"an alarm after the reset",
         [t](RemoteViewTest& f) { f.alarms.Note(Page::Setup, SiteRecord::Count::Alarm, 1, t); },
         EDevWork, Page::Setup, Send::AtOnce},
        {"linked in another state", [](RemoteViewTest&) {}, EDevAllPakets, Page::Setup,
         Send::AtPace},
    };
    seen = false;
    PhoneNews sent = PhoneNewsOf(View(Page::About, EDevNone, PageHeld{}));
    for (const auto& c : cases) {
        c.change(*this);
        const PhoneNews now = PhoneNewsOf(View(c.page, c.link, PageHeld{}));
        EXPECT_EQ(SnapshotSendOf(sent, now), c.send) << c.what;
        EXPECT_EQ(SnapshotSendOf(now, now), Send::AtPace) << c.what;
        sent = now;
    }
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

    const RemoteViewValues settings = View(Page::Settings, EDevWork, Range(0, 0));
    ASSERT_EQ(settings.thresholds.size(), 3u);
    const std::vector<std::tuple<std::string, std::string, bool>> range = {
        {"PL", "33,3", true}, {"LL", "20,0", false}, {"HL", "45,5", true}};
    for (std::size_t i = 0; i < range.size(); ++i) {
        EXPECT_EQ(settings.thresholds[i].name, std::get<0>(range[i]));
        EXPECT_EQ(settings.thresholds[i].text, std::get<1>(range[i]));
        EXPECT_EQ(settings.thresholds[i].unit, "%");
        EXPECT_EQ(settings.thresholds[i].crossed, std::get<2>(range[i]));
    }

    // The Setup page's levels: LL 20 % below the average, PL 33.3 % above.
    const double average = SignalToMilliVolts(0, 2, 500);
    const RemoteViewValues setup = View(Page::Setup, EDevWork, PageHeld{});
    ASSERT_EQ(setup.thresholds.size(), 2u);
    EXPECT_EQ(setup.thresholds[0].name, "LL");
    EXPECT_EQ(setup.thresholds[0].text, format.Fixed(average * 0.8, 3));
    EXPECT_FALSE(setup.thresholds[0].crossed);
    EXPECT_EQ(setup.thresholds[1].name, "PL");
    EXPECT_EQ(setup.thresholds[1].text, format.Fixed(average * 1.333, 3));
    EXPECT_EQ(setup.thresholds[1].unit, "mV");
    EXPECT_TRUE(setup.thresholds[1].crossed);

    EXPECT_TRUE(View(Page::Calibration, EDevWork, TuneUp(1, 1)).thresholds.empty());
}

TEST_F(RemoteViewTest, TheCountCountsOnlyWhileItsPageIsInView) {
    const struct {
        Page inView;
        bool on;
        bool counting;
    } cases[] = {{Page::Setup, true, true},
                 {Page::Calibration, true, false},
                 {Page::Settings, true, false},
                 {Page::Setup, false, false}};
    for (const auto& c : cases) {
        const RemoteViewValues v =
            View(c.inView, EDevWork, PageHeld{}, AlarmTally{Page::Setup, 7, c.on});
        EXPECT_EQ(v.alarms.count, 7);
        EXPECT_EQ(v.alarms.page, Page::Setup);
        EXPECT_EQ(v.alarms.on, c.on);
        EXPECT_EQ(v.alarms.counting, c.counting) << int(c.inView) << c.on;
    }
}

TEST(CountedAlarms, KeepTheAlarmsEachCountHoldsNewestFirstAndNumberThemOn) {
    CountedAlarms a;
    const double t = FakeClock::At(10, 20, 30, 456);
    a.Note(Page::Setup, SiteRecord::Count::On, 0, t);
    a.Note(Page::Setup, SiteRecord::Count::Alarm, 1, t);
    a.Note(Page::Settings, SiteRecord::Count::Alarm, 1, FakeClock::At(10, 21, 0, 0));
    a.Note(Page::Setup, SiteRecord::Count::Alarm, 2, FakeClock::At(10, 22, 5, 999));
    ASSERT_EQ(a.Newest().size(), 3u);
    EXPECT_EQ(a.Newest()[0], (CountedAlarm{"10:22:05", Page::Setup, 2}));
    EXPECT_EQ(a.Newest()[1], (CountedAlarm{"10:21:00", Page::Settings, 1}));
    EXPECT_EQ(a.Newest()[2], (CountedAlarm{"10:20:30", Page::Setup, 1}));
    EXPECT_EQ(a.Serial(), 3);

    // A reset clears its own group's alarms with the count; the number goes on.
    a.Note(Page::Setup, SiteRecord::Count::Reset, 2, t);
    ASSERT_EQ(a.Newest().size(), 1u);
    EXPECT_EQ(a.Newest()[0].page, Page::Settings);
    a.Note(Page::Settings, SiteRecord::Count::Off, 1, t);
    EXPECT_TRUE(a.Newest().empty());
    a.Note(Page::Setup, SiteRecord::Count::Alarm, 1, t);
    EXPECT_EQ(a.Serial(), 4);

    // A long walk keeps the newest the phone shows.
    for (int n = 2; n <= 30; ++n) a.Note(Page::Setup, SiteRecord::Count::Alarm, n, t);
    ASSERT_EQ(a.Newest().size(), CountedAlarms::kKept);
    EXPECT_EQ(a.Newest().front().count, 30);
    EXPECT_EQ(a.Newest().back().count, 30 - static_cast<long long>(CountedAlarms::kKept) + 1);
}

TEST_F(RemoteViewTest, TheMessageIsOneLineOfJsonWithEveryValue) {
    alarms.Note(Page::Setup, SiteRecord::Count::Alarm, 1, FakeClock::At(9, 5, 7, 0));
    SetState(2);
    const auto calibration = nlohmann::json::parse(RemoteViewJson(
        View(Page::Calibration, EDevWork, TuneUp(0.45, 0.5), AlarmTally{Page::Setup, 1, true})));
    EXPECT_EQ(calibration["page"], "Calibration");
    EXPECT_EQ(calibration["signal"], (nlohmann::json{{"text", "0,450"}, {"unit", "mV"}}));
    EXPECT_EQ(calibration["maximum"]["closeness"], 0.9);
    EXPECT_EQ(calibration["maximum"]["near"], true);
    EXPECT_EQ(calibration["mode"], "Calibration");
    EXPECT_EQ(calibration["link"], "linked");
    EXPECT_EQ(calibration["tone"], 1430);
    EXPECT_EQ(calibration["alarms"]["count"], 1);
    EXPECT_EQ(calibration["alarms"]["counting"], false);
    EXPECT_EQ(calibration["alarms"]["serial"], 1);
    EXPECT_EQ(calibration["alarms"]["list"],
              (nlohmann::json::array({{{"time", "09:05:07"}, {"page", "Setup"}, {"count", 1}}})));
    EXPECT_EQ(calibration["thresholds"], nlohmann::json::array());

    const std::string lost = RemoteViewJson(View(Page::About, EDevNone, PageHeld{}));
    EXPECT_EQ(lost.find('\n'), std::string::npos);
    const auto about = nlohmann::json::parse(lost);
    EXPECT_EQ(about["link"], "lost");
    EXPECT_TRUE(about["signal"].is_null());
    EXPECT_TRUE(about["maximum"].is_null());
    EXPECT_TRUE(about["tone"].is_null());
    EXPECT_EQ(about["mode"], "---");
}

TEST(SidePlacement, BesideTheWindowWhereTheScreenHasRoomElseOverItsFoot) {
    const ScreenArea screen{0, 0, 1920, 1040};
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
        const ScreenPoint at = PlaceBeside(screen, c.window, 300, 400);
        EXPECT_EQ(at.x, c.at.x) << c.what;
        EXPECT_EQ(at.y, c.at.y) << c.what;
    }
}

}  // namespace
}  // namespace quillane
