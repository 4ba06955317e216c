#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "console/line/CommandRun.h"
#include "console/line/WakePlan.h"
#include "console/pages/Page.h"
#include "console/pages/PageCommands.h"
#include "protocol/DetectorModel.h"
#include "protocol/LinkHealth.h"

namespace quillane {

class ByteLink;
class Clock;
class ConsoleView;
class ExchangeLog;
class PortDirectory;

// Everything the console does with the detector between the window and the
// line: the poll tick, the receive pass with the link states, the command
// slots with the transmit pass, and the port selection. The window owns one and
// calls it from its 1 ms timer and its handlers; the core calls the window back
// only through ConsoleView.
//
// Counters that outlive every loss of the link (first tick, send repeat counter,
// fluctuation counter) are members here, so they live as long as the window.
class ConsoleCore {
public:
    ConsoleCore(ByteLink& port, PortDirectory& ports, Clock& clock, ExchangeLog& log,
                ConsoleView& view);
    ~ConsoleCore();
    ConsoleCore(const ConsoleCore&) = delete;
    ConsoleCore& operator=(const ConsoleCore&) = delete;

    // ---- poll cycle ----
    // One timer tick. The first one refills the port list and opens the selected
    // port; later ones run Recv then Send. Returns whether the poll timer is to
    // run on: false after the first tick when the port did not open, and after
    // an error (reported through ConsoleView::ShowError), until a port that
    // opens is chosen again.
    bool TimerTimer();
    void Recv();
    void Send();
    // What the core knows of its next wake-ups at `now` (monotonic): the
    // line, the link and the command slots for the next pass, and when its
    // watch is due; `polling` is what the last TimerTimer returned. The
    // window adds its redraws' and plans with PlanWake.
    WakeFacts Facts(bool polling, double now) const;

    // ---- port selection ----
    // The port list drops down: it is filled with the ports that open, the
    // port in use selected. The port in use is probed like the others and
    // opened again at once, and tries of a port that went away go on:
    // leaving the list without choosing changes nothing.
    void cbComPortDropDown();
    // The user chose a port. Returns whether it opened (the timer is then to
    // be enabled). From now on the console takes no port by itself.
    bool cbComPortChange();
    int iPortNumber() const;
    bool bPortOpen() const;

    // ---- link state and the detector model ----
    DeviceState eDeviceState() const;
    bool Linked() const { return eDeviceState() > EDevNone; }
    const DetectorModel& Model() const;
    // The stored code-2 word reports calibration mode.
    bool DetectorCalibrating() const;
    // The detector will be calibrating once the mode word told last has
    // reached it (see ModeRule.h): what the page changes go by.
    bool CalibrationAhead() const;
    // A page came into view or left it: queues the mode that asks for.
    void PageShown(Page page);
    void PageLeft(Page page);
    // A page-selecting key for `page`: for the page in view it asks for the
    // page's mode again (ModeCommandOnKey).
    void PageKey(Page page);
    // The page that was in view when the link was lost, while a detector is
    // found again on the same port (none after the user chose a port).
    std::optional<Page> PageBeforeLoss() const;
    // The fields of the page whose Apply queues runs of `source` now ask for
    // `commands`: a mark of other values goes (AnswerMarks).
    void PageFieldsChanged(CommandSource source, const PageCommands& commands);
    // The one write a page makes to the model: the 10 value bits of the stored
    // signal word take `sig`; its flags and code stay.
    void OverwriteStoredSig(unsigned sig);
    // Returns the console to waiting for a detector (stored words to 0x0101,
    // then ConsoleView::ResetDetectorView).
    void ResetDetectorView();
    // The detection step: queues the automatic defaults when the detector's
    // setup method asks for them, then ConsoleView::OnDetectorFound.
    void OnDetectorFound();
    // The line's frame counts when they are due for the display again (at
    // most every LinkHealth::kUpdateSeconds); they start again with each port.
    // None while the port is being tried again: the tooltip says so instead.
    std::optional<LinkHealth::Figures> LinkHealthDue();
    // Sum of the codes since the last signal or power word (full-set test).
    int iInpPacketsCodeCounter() const;

    // ---- command slots ----
    void QueueCmd0(unsigned adr, unsigned senspp, unsigned state);
    void QueueCmd1(unsigned sensmp, unsigned sensbp, unsigned letter);
    void QueueCmd2(unsigned minSpd, unsigned maxSpd, unsigned dist, unsigned reg);
    // The mode word with the address and PL threshold the detector will
    // have: those of a code-0 word still waiting, else the stored ones.
    void StartCalibrationMode();
    void StopCalibrationMode();
    void ApplyAutoDefaults();
    bool bCmdPending() const;
    // The word waiting in the slot of a command code, if any is waiting.
    std::optional<std::uint16_t> PendingCommand(unsigned code) const;
    int iSendRepeatCounter() const;
    // The words queued from now on are one run of sends of `source`; the
    // detector's next status words decide its outcome
    // (ConsoleView::CommandRunEnded). The run takes words until the next
    // pass or another action (CommandCheck.h).
    void BeginCommandRun(CommandSource source);
    // The run taking words takes no more (the record is written out before
    // the window closes or a report is made): ConsoleView::CommandRunQueued.
    void CloseCommandRun();
    // An Apply: the page's command words as one run of `source`.
    void QueuePageCommands(CommandSource source, const PageCommands& commands);

    // ---- the console's own watch, beside the poll tick ----
    // What is due now: another try of the chosen port after its device went
    // away (ConsoleView::Reconnected when it opens), a look for a port that
    // appeared (taken while no detector is linked and the user chose none),
    // and the command runs whose answer time is over. The window runs it
    // when WatchDueIn says.
    void Watch();
    // Seconds until Watch has something to do; none while nothing waits.
    std::optional<double> WatchDueIn() const;
    bool Reconnecting() const;
    // How often the console looks for a port plugged in.
    static constexpr double kPortLookSeconds = 1.0;

    // ---- shutdown ----
    // Queues the calibration-off command and then, until nothing is pending or
    // 10 s (monotonic) have passed, lets processEvents run the message loop
    // (which keeps the timer ticking) and sleeps 1 ms. Returns whether every
    // pending command went out.
    bool StopCalibrationAndWait(const std::function<void()>& processEvents);

    // ---- settings the core reads ----
    // Sensitivity index for a zone index, from the zone table.
    void SetDistSens(std::function<int(int)> distSens);
    void SetMaxTenPercent(int maxTenPercent);
    int iMaxTenPercent() const;
    int iTenPercentCounter() const;

private:
    // Queues a command word and tells the run that is sending it and the
    // window, which keeps the site record.
    void QueueWord(std::uint16_t word);
    void BeginRun(CommandSource source, const PageCommands& asked);
    void NoticeDeviceGone();
    // Closes the port, whose device went away, and tries it again.
    void LeaveLine();
    void QueueMode(unsigned state);
    // Opens the port selected; `byUser` when the user chose it.
    bool OpenSelected(bool byUser);
    // Lists the ports into the selector, the port in use or `take` selected;
    // the port in use is closed for the probe. Whether `take` can be opened.
    bool ListPorts(std::optional<int> take);
    void LookForNewPort(double now);
    // What the marks show now, to the window.
    void ShowMarks();

    struct Impl;
    Impl* d_;
};

}  // namespace quillane
