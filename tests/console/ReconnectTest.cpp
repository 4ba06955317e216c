// Back on line by itself: the core tries the chosen port again after its
// device went away, on its own watch, until it opens or the user chooses.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "console/line/PortChoice.h"

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
    EXPECT_FALSE(core.Reconnecting());
    Pass(Frames(LinkUpSet().Words()));
    EXPECT_EQ(view.Count("OnDetectorFound"), 2);
}

// A set cut by the loss is not completed by the device that comes back.
TEST_F(ReconnectTest, ADetectorIsFoundAgainOnlyByAFullSetOfItsOwn) {
    const std::array<frame::Word, 6> set = LinkUpSet().Words();
    Pass(Frames({set[0], set[1]}));
    link.gone = true;
    core.Recv();
    clock.Advance(1.0);
    core.Watch();
    ASSERT_TRUE(link.open);
    Pass(Frames({set[2], set[3], set[4], set[5]}));
    EXPECT_FALSE(core.Linked());
    Pass(Frames(set));
    EXPECT_TRUE(core.Linked());
}

// Only a port chosen ends the tries; the list dropped down and left changes
// nothing: the port in use is probed and taken up again at once.
TEST_F(ReconnectTest, OnlyTheUsersChoiceEndsTheTriesAndTheListChangesNothing) {
    const struct {
        const char* name;
        bool gone, noticedBySend, chosen, triesGoOn;
    } cases[] = {
        {"list dropped down", true, false, false, true},
        {"port chosen", true, false, true, false},
        {"list dropped down while linked", false, false, false, false},
        {"write error, then a choice", true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        core.cbComPortChange();
        Pass(Frames(LinkUpSet().Words()));
        link.gone = c.gone;
        core.QueueCmd0(9, 10, 0);
        c.noticedBySend ? core.Send() : core.Recv();
        ASSERT_EQ(core.Reconnecting(), c.gone);
        link.opensOk = !c.gone;  // the device stays away
        if (c.chosen) core.cbComPortChange();
        if (!c.chosen) core.cbComPortDropDown();
        EXPECT_EQ(view.selected, "COM7");
        const int opens = Opens();
        clock.Advance(1.5);
        core.Watch();
        Pass(Frames({word::Signal(300)}));
        EXPECT_EQ(Opens() > opens, c.triesGoOn);
        EXPECT_EQ(core.Reconnecting(), c.triesGoOn);
        EXPECT_EQ(core.Linked(), !c.gone);
        link.opensOk = true;
    }
}

// A Windows line may go away without a failing call: there the link time-out
// counts as the device gone, and the tries go on until a detector is found.
TEST_F(ReconnectTest, ALineThatOnlyFallsSilentIsClosedAndTriedUntilADetectorIsFound) {
    const struct {
        const char* name;
        bool goesSilent, gone;
        int opens;  // opens of COM7 in the four silent seconds after the loss
    } cases[] = {
        {"Windows, timed out", true, false, 4},
        {"Linux, timed out", false, false, 0},
        {"Windows, gone, then silent", true, true, 4},
        {"Linux, gone, then silent", false, true, 1},
    };
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link.goesSilent = c.goesSilent;
        core.cbComPortChange();  // the user chooses COM7
        Pass(Frames(LinkUpSet().Words()));
        ASSERT_TRUE(core.Linked());
        link.gone = c.gone;
        if (!c.gone) clock.Advance(3.5);
        core.Recv();
        EXPECT_FALSE(core.Linked());
        EXPECT_EQ(link.open, !c.goesSilent && !c.gone);
        EXPECT_EQ(halfSeconds(8, {}), c.opens);
        ASSERT_TRUE(link.open);
        // The detector answers: a port heard from is kept until its full set.
        EXPECT_EQ(halfSeconds(6, Frames({word::Signal(300)})), 0);
        Pass(Frames(LinkUpSet().Words()));
        EXPECT_TRUE(core.Linked());
        EXPECT_FALSE(core.Reconnecting());
        EXPECT_EQ(halfSeconds(4, Frames({word::Signal(300)})), 0);
    }
}

// While reconnecting the note says so; the port opened again is named as it
// is now, and a detector found again gets back the page of the loss unless
// the user chose a port meanwhile.
TEST_F(ReconnectTest, TheNoteSaysSoAndThePageInViewComesBack) {
    core.PageShown(Page::Calibration);
    link.gone = true;
    core.Recv();
    EXPECT_EQ(view.LastNote(), "Reconnecting to COM7 ...");
    ports.entries = {{7, true, "/dev/pts/5", ""}};  // the alias leads elsewhere now
    clock.Advance(1.0);
    core.Watch();
    ASSERT_EQ(view.inUse.size(), 1u);
    EXPECT_EQ(view.inUse[0].device, "/dev/pts/5");
    EXPECT_EQ(view.LastNote(), "Waiting for detector ...");
    EXPECT_EQ(core.PageBeforeLoss(), Page::Calibration);
    Pass(Frames(LinkUpSet().Words()));
    EXPECT_FALSE(core.PageBeforeLoss());  // once

    core.PageShown(Page::Setup);
    clock.Advance(3.5);
    core.Recv();  // the link times out
    ASSERT_FALSE(core.Linked());
    EXPECT_EQ(core.PageBeforeLoss(), Page::Setup);
    core.cbComPortChange();
    EXPECT_FALSE(core.PageBeforeLoss());
}

// An adapter plugged in is taken as the last port is at start, while no
// detector is linked and the user chose no port; a port the user chose wins.
TEST(PortLook, APortThatAppearsIsTakenUnlessTheUserChoseOne) {
    const struct {
        const char* name;
        bool linked, userChose, available;
        int opened;  // the port open at the end
    } cases[] = {
        {"no detector", false, false, true, 34},
        {"a detector linked", true, false, true, 7},
        {"the user chose COM7", false, true, true, 7},
        {"the new port held elsewhere", false, false, false, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        FakePortDirectory ports;
        FakeClock clock;
        ExchangeLog log{clock};
        RecordingView view;
        ConsoleCore core{link, ports, clock, log, view};
        ports.entries = {{7, true, "/dev/ttyUSB0", ""}};
        core.TimerTimer();  // the first tick takes COM7
        if (c.userChose) core.cbComPortChange();
        if (c.linked) {
            link.Script(Frames(LinkUpSet().Words()));
            core.Recv();
        }
        ports.entries.push_back({34, c.available, "/dev/ttyUSB1", c.available ? "" : "held"});
        for (int look = 0; look < 2; ++look) {
            clock.Advance(ConsoleCore::kPortLookSeconds);
            core.Watch();
        }
        EXPECT_EQ(link.openedPorts.back(), c.opened);
        EXPECT_EQ(view.selected, "COM" + std::to_string(c.opened));
        EXPECT_EQ(view.Count("Reconnected"), c.opened == 34 ? 1 : 0);
        EXPECT_EQ(ports.enumerations, c.opened == 34 || !c.available ? 2 : 1);
    }
}

TEST(PortChoice, TheListKeepsThePortInUseAndNewPortsAreTheOnesNotSeenBefore) {
    const std::vector<PortEntry> listed = {
        {3, true, "/dev/ttyS2", ""}, {7, false, "/dev/pts/1", "held"}, {9, true, "/dev/pts/4", ""}};
    const auto numbers = [](const PortItems& p) {
        std::vector<int> n;
        for (const PortEntry& e : p.items) n.push_back(e.number);
        return n;
    };
    const struct {
        std::optional<int> inUse;
        std::vector<int> items;
        int selected;
    } cases[] = {{std::nullopt, {3, 9}, 9}, {3, {3, 9}, 3}, {7, {3, 7, 9}, 7}, {5, {3, 5, 9}, 5}};
    for (const auto& c : cases) {
        const PortItems p = PortItemsFor(listed, c.inUse);
        EXPECT_EQ(numbers(p), c.items) << c.inUse.value_or(0);
        EXPECT_EQ(p.selected, c.selected) << c.inUse.value_or(0);
    }
    EXPECT_EQ(PortItemsFor({}, std::nullopt).selected, 0);
    EXPECT_EQ(NewPort({3, 7}, {3, 7, 34, 33}), 34);
    EXPECT_EQ(NewPort({3, 7}, {3}), std::nullopt);
    EXPECT_EQ(NewPort({}, {5}), 5);
}

}  // namespace
}  // namespace quillane::test
