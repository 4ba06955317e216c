// A page redraws whenever anything it draws from changes, not only when a
// signal word is taken.
#include <gtest/gtest.h>

#include <vector>

#include "StatusWords.h"
#include "console/pages/ModelRedraw.h"
#include "console/pages/RedrawLimit.h"
#include "protocol/DetectorModel.h"

namespace quillane::test {
namespace {

// A stored word: the current one of its code, or the previous one.
struct Stored {
    frame::Word word;
    bool previous = false;
};

// A detector in Normal with signal 500, and the words stored over it.
DetectorModel ModelWith(const std::vector<Stored>& words) {
    DetectorModel m;
    for (const frame::Word w :
         {word::Signal(500), word::State(0), word::Sens(10, 10), word::Zone(2, 11), word::Speed(0)})
        m.current[frame::Code(w)] = w;
    m.previous[2] = word::State(0);
    for (const Stored& s : words)
        (s.previous ? m.previous : m.current)[frame::Code(s.word)] = s.word;
    return m;
}

TEST(ModelRedraw, APageRedrawsWhenWhatItDrawsFromChanges) {
    const Stored cal{word::State(2)}, alarm{word::State(1)}, step{word::Signal(300)};
    const Stored average{word::State(0, 480)},
        flag{static_cast<frame::Word>(word::Signal(500) | 0x400)};
    const Page C = Page::Calibration, S = Page::Setup;
    const struct {
        const char* name;
        Page page;
        std::vector<Stored> drawn, now;  // the stored words it drew from, and now
        bool working, due;
    } cases[] = {
        // The detector enters calibration and its signal steps in one status
        // cycle: the step was taken while the page did not follow the signal.
        {"calibration entered with a step", C, {}, {cal, step}, true, true},
        {"calibrating, a new signal", C, {cal}, {cal, step}, true, true},
        {"calibrating, another gain", C, {cal}, {cal, {word::Speed(0, 2, 1, 2)}}, true, true},
        {"not calibrating: the bar keeps its value", C, {}, {step}, true, false},
        {"calibration left", C, {cal}, {alarm}, true, false},
        {"calibrating, no signal words yet", C, {}, {cal}, false, false},
        {"Setup, the average", S, {}, {average}, true, true},
        {"Setup, a threshold", S, {}, {{word::Sens(12, 10)}}, true, true},
        {"Setup, the mode", S, {}, {alarm}, true, true},
        {"Setup in Alarm, the signal", S, {alarm}, {alarm, step}, true, false},
        {"Setup, no signal words yet", S, {}, {step}, false, false},
        {"Settings, the average", Page::Settings, {}, {average}, true, true},
        {"Settings, the previous mode", Page::Settings, {}, {{word::State(1), true}}, true, true},
        {"Settings, HL", Page::Settings, {}, {{word::Zone(2, 11, 12)}}, true, true},
        {"Settings, a crossing flag", Page::Settings, {}, {flag}, false, true},
        {"Settings, the zone alone", Page::Settings, {}, {{word::Zone(2, 12)}}, true, false},
        {"About draws no signal", Page::About, {}, {step}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DetectorModel before = ModelWith(c.drawn), now = ModelWith(c.now);
        const auto due = [&](const DetectorModel& drawn, double at, RedrawLimit& limit) {
            return ModelRedrawDue(c.page, DrawnFromOf(c.page, drawn, c.working), now, c.working, at,
                                  limit, 5);
        };
        RedrawLimit limit;  // long since the last redraw
        EXPECT_EQ(due(before, 100.0, limit), c.due);
        EXPECT_FALSE(due(now, 100.5, limit)) << "drawn again";
        // Right after a redraw the change waits for the limit's trailing one;
        // the Settings page holds its redraws to the limit itself.
        RedrawLimit recent;
        ASSERT_TRUE(recent.Allow(100.0, 5));
        EXPECT_EQ(due(before, 100.05, recent), c.due && c.page == Page::Settings);
        EXPECT_EQ(recent.TrailingIn(100.05, 5).has_value(), c.due && c.page != Page::Settings);
    }
}

}  // namespace
}  // namespace quillane::test
