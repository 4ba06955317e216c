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
    const Stored calibrating{word::State(2)}, alarm{word::State(1)}, step{word::Signal(300)};
    const struct {
        const char* name;
        Page page;
        std::vector<Stored> drawn, now;  // the stored words it drew from, and now
        bool working, due;
    } cases[] = {
        // The detector enters calibration and its signal steps in one status
        // cycle: the step was taken while the page did not follow the signal.
        {"calibration entered with a step", Page::Calibration, {}, {calibrating, step}, true, true},
        {"calibrating, a new signal",
         Page::Calibration,
         {calibrating},
         {calibrating, step},
         true,
         true},
        {"calibrating, another gain",
         Page::Calibration,
         {calibrating},
         {calibrating, {word::Speed(0, 2, 1, 2)}},
         true,
         true},
        {"not calibrating: the bar keeps its value", Page::Calibration, {}, {step}, true, false},
        {"calibration left", Page::Calibration, {calibrating}, {alarm}, true, false},
        {"calibrating, no signal words yet", Page::Calibration, {}, {calibrating}, false, false},
        {"Setup, the average", Page::Setup, {}, {{word::State(0, 480)}}, true, true},
        {"Setup, a threshold", Page::Setup, {}, {{word::Sens(12, 10)}}, true, true},
        {"Setup, the mode", Page::Setup, {}, {alarm}, true, true},
        {"Setup in Alarm, the signal", Page::Setup, {alarm}, {alarm, step}, true, false},
        {"Setup, no signal words yet", Page::Setup, {}, {step}, false, false},
        {"Settings, the average", Page::Settings, {}, {{word::State(0, 480)}}, true, true},
        {"Settings, the previous mode", Page::Settings, {}, {{word::State(1), true}}, true, true},
        {"Settings, HL", Page::Settings, {}, {{word::Zone(2, 11, 12)}}, true, true},
        {"Settings, a crossing flag",
         Page::Settings,
         {},
         {{static_cast<frame::Word>(word::Signal(500) | 0x400)}},
         false,
         true},
        {"Settings, the zone alone", Page::Settings, {}, {{word::Zone(2, 12)}}, true, false},
        {"About draws no signal", Page::About, {}, {step}, true, false},
    };
    for (const auto& c : cases) {
        const DetectorModel before = ModelWith(c.drawn), now = ModelWith(c.now);
        RedrawLimit limit;  // long since the last redraw
        EXPECT_EQ(ModelRedrawDue(c.page, DrawnFromOf(c.page, before, c.working), now, c.working,
                                 100.0, limit, 5),
                  c.due)
            << c.name;
        EXPECT_FALSE(ModelRedrawDue(c.page, DrawnFromOf(c.page, now, c.working), now, c.working,
                                    100.5, limit, 5))
            << c.name << ": drawn again";
    }
}

// Within the limit's period the redraw waits for its trailing one; the
// Settings page holds its redraws to the limit itself.
TEST(ModelRedraw, AChangeRightAfterARedrawWaitsForTheLimit) {
    for (const Page page : {Page::Calibration, Page::Setup, Page::Settings}) {
        const Stored state{word::State(page == Page::Calibration ? 2 : 0)};
        const DetectorModel before = ModelWith({state}),
                            now = ModelWith({state, {word::Signal(300)}});
        RedrawLimit limit;
        ASSERT_TRUE(limit.Allow(100.0, 5));
        EXPECT_EQ(
            ModelRedrawDue(page, DrawnFromOf(page, before, true), now, true, 100.05, limit, 5),
            page == Page::Settings);
        EXPECT_EQ(limit.TrailingIn(100.05, 5).has_value(), page != Page::Settings);
    }
}

}  // namespace
}  // namespace quillane::test
