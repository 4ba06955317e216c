// Back on line by itself: the core tries the chosen port again after its
// device went away, on its own watch, until it opens or the user chooses.
#include <gtest/gtest.h>

#include <functional>

#include "CoreFixture.h"

namespace quillane::test {
namespace {

class ReconnectTest : public CoreFixture {
protected:
    ReconnectTest() {
        ports.entries = {{7, true, "/dev/ttyUSB0", ""}};
        core.TimerTimer();  // the first tick opens COM7
        Pass(Frames(LinkUpSet().Words()));
    }
    int Opens() const { return static_cast<int>(link.openedPorts.size()); }
};

TEST_F(ReconnectTest, APortWhoseDeviceWentAwayIsTriedEverySecondUntilItOpens) {
    link.gone = true;
    core.Recv();
    EXPECT_FALSE(link.open);
    // The link is lost at once, with a trace of its own.
    EXPECT_FALSE(core.Linked());
    EXPECT_EQ(view.Count("ResetDetectorView"), 2);
    EXPECT_EQ(Log().back(), "eDeviceState = EDevNone >device gone, reconnecting to COM7");
    EXPECT_FALSE(core.LinkHealthDue());  // the tooltip says "Reconnecting" instead
    EXPECT_EQ(view.reconnecting, std::vector<std::string>{"Reconnecting to COM7 ..."});
    const std::size_t notes = view.notes.size();
    link.opensOk = false;
    // Seconds since the last look, and the opens of COM7 by then, the first tick's included.
    const std::pair<double, int> steps[] = {{0.999, 1}, {0.001, 2}, {0.5, 2}, {0.5, 3}};
    for (const auto& [after, opens] : steps) {
        clock.Advance(after);
        core.Watch();
        EXPECT_EQ(Opens(), opens) << after;
    }
    // Quietly: no note, no reason in the port selector, no listing of the ports.
    EXPECT_EQ(view.notes.size(), notes);
    EXPECT_EQ(view.portProblem, "");
    EXPECT_EQ(ports.enumerations, 1);

    link.opensOk = true;
    clock.Advance(1.0);
    core.Watch();
    EXPECT_EQ(link.openedPorts, (std::vector<int>{7, 7, 7, 7}));
    EXPECT_TRUE(core.bPortOpen());
    EXPECT_EQ(view.Count("Reconnected"), 1);
    EXPECT_FALSE(core.WatchDueIn());
    Pass(Frames(LinkUpSet().Words()));
    EXPECT_EQ(view.Count("OnDetectorFound"), 2);
}

TEST_F(ReconnectTest, TheUsersChoiceEndsTheTriesAndALineTheUserClosedIsNotTried) {
    const struct {
        const char* name;
        bool gone, noticedBySend;
        std::function<void()> user;
    } cases[] = {
        {"list dropped down", true, false, [this] { core.cbComPortDropDown(); }},
        {"port chosen", true, false, [this] { core.cbComPortChange(); }},
        {"list dropped down while linked", false, false, [this] { core.cbComPortDropDown(); }},
        {"write error, then a choice", true, true, [this] { core.cbComPortChange(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link.Open(7, 57600);
        link.gone = c.gone;
        core.QueueCmd0(9, 10, 0);
        c.noticedBySend ? core.Send() : core.Recv();
        EXPECT_EQ(core.Reconnecting(), c.gone);
        c.user();
        const int opens = Opens();
        clock.Advance(5.0);
        core.Watch();
        EXPECT_EQ(Opens(), opens);
        EXPECT_FALSE(core.Reconnecting());
    }
}

// A Windows line may go away without a failing call: there the link time-out
// counts as the device gone, and the tries go on until a detector is found.
TEST_F(ReconnectTest, ALineThatOnlyFallsSilentIsClosedAndTriedUntilADetectorIsFound) {
    enum class Loss { Silence, Gone, ListDroppedThenSilence };
    const struct {
        const char* name;
        bool goesSilent;
        Loss loss;
        bool open;  // the port right after the loss
        int opens;  // opens of COM7 in the four silent seconds that follow
    } cases[] = {
        {"Windows, timed out", true, Loss::Silence, false, 4},
        {"Linux, timed out", false, Loss::Silence, true, 0},
        {"Windows, gone, then silent", true, Loss::Gone, false, 4},
        {"Linux, gone, then silent", false, Loss::Gone, false, 1},
        {"Windows, list dropped down", true, Loss::ListDroppedThenSilence, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link.goesSilent = c.goesSilent;
        core.cbComPortChange();  // the user chooses COM7
        Pass(Frames(LinkUpSet().Words()));
        ASSERT_TRUE(core.Linked());
        if (c.loss == Loss::Gone) link.gone = true;
        if (c.loss == Loss::ListDroppedThenSilence) core.cbComPortDropDown();
        if (c.loss != Loss::Gone) clock.Advance(3.5);
        core.Recv();
        EXPECT_FALSE(core.Linked());
        EXPECT_EQ(link.open, c.open);

        // Half-second steps keep the fake clock's sums exact.
        const auto halfSeconds = [this](int steps, const Bytes& heard) {
            const int before = Opens();
            for (int i = 0; i < steps; ++i) {
                clock.Advance(0.5);
                core.Watch();
                heard.empty() ? core.Recv() : Pass(heard);
            }
            return Opens() - before;
        };
        EXPECT_EQ(halfSeconds(8, {}), c.opens);
        // Only the port the user left by the list stays closed.
        ASSERT_EQ(link.open, c.loss != Loss::ListDroppedThenSilence);
        if (!link.open) continue;
        // The detector answers: a port heard from is kept until its full set.
        EXPECT_EQ(halfSeconds(6, Frames({word::Signal(300)})), 0);
        Pass(Frames(LinkUpSet().Words()));
        EXPECT_TRUE(core.Linked());
        EXPECT_FALSE(core.Reconnecting());
        EXPECT_EQ(halfSeconds(4, Frames({word::Signal(300)})), 0);
    }
}

}  // namespace
}  // namespace quillane::test
