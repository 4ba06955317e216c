#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/ConsoleView.h"
#include "console/line/WakePlan.h"
#include "console/pages/AccessLevel.h"
#include "console/pages/RedrawLimit.h"
#include "console/pages/StatusDisplay.h"
#include "console/phone/CountedAlarms.h"
#include "console/phone/SnapshotPace.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "protocol/ExchangeLog.h"
#include "ui/window/ReportWriter.h"

class QCloseEvent;
class QLabel;
class QTextEdit;
class QTimer;

namespace quillane {

class ByteLink;
class Clock;
class ConsoleCore;
class ConsolePage;
class InfoPanel;
class KeyActionList;
class LineWatch;
class PageControl;
class PortDirectory;
class RemoteViewDialog;
class ReportNotice;
class SiteMemory;
class SiteRecord;
class TfrmPassword;
class ViewServer;
struct PageContext;

// The console's main window and the owner of its state: the core with the
// line, the settings, the tables, the access level and every control. It wires
// the poll timer, the pages and the keys; the pages do their own work.
class TfmMain : public QWidget, public ConsoleView {
    Q_OBJECT

public:
    // The machine's serial line, port list and clocks.
    explicit TfmMain(QWidget* parent = nullptr);
    // Any line, port list and clock (a pseudo-terminal, a fake).
    TfmMain(ByteLink& port, PortDirectory& ports, Clock& clock, QWidget* parent = nullptr);
    ~TfmMain() override;

    // The access dialog that F10 runs; created after the window, as at start-up.
    void SetPasswordDialog(TfrmPassword* dialog) { frmPassword_ = dialog; }

    ConsoleCore& Core() { return *core_; }
    const CorrespondenceTables& Tables() const { return tables_; }
    AccessLevel CurrentAccessLevel() const { return eAccessLevel; }
    Page ActivePage() const;

    // One pass of the poll cycle (receive, then transmit), whatever brought
    // it: the poll timer's tick, bytes on the line, or the link time-out.
    void TimerTimer();
    void UpdatePageVisibility();
    // The same, bringing `basicPage` into view at the basic level.
    void UpdatePageVisibility(Page basicPage);

    // ---- ConsoleView ----
    void ShowSignal() override;
    void RefreshSensPages() override;
    void ShowZone() override;
    void ShowSpeedAndWarning() override;
    void ShowDetectorState() override;
    void ShowIdentity() override;
    void ShowPower() override;
    void OnDetectorFound() override;
    void ResetDetectorView() override;
    void SetNote(const std::string& text) override;
    void SetPortItems(const std::vector<PortEntry>& items, int selected) override;
    void SetPortProblem(const std::string& text) override;
    std::string SelectedPortText() const override;
    void ShowError(const std::string& message) override;
    void Reconnecting(const std::string& text) override;
    void CommandRunBegun(CommandSource source) override;
    // Where the window learns what the detector made of each run of sends.
    void CommandRunEnded(const CommandRun& run) override;
    void CommandQueued(std::uint16_t word) override;
    void CommandRunQueued(const QueuedRun& run) override;
    void Reconnected() override;
    void ShowPortInUse(const PortEntry& entry) override;
    void ShowAnswerMark(MarkPlace place, const AnswerMark* mark) override;

    // ---- actions, one per key ----
    void actEnterPasswordExecute();
    void actVelmoSelectExecute();
    void actTuneUpSelectExecute();
    void actSetupSelectExecute();
    void actApplayExecute();
    void actApplayParamsExecute();
    void actSaveTrvExecute();
    void actClearTrvExecute();
    void actClearExecute();
    void actParamsSelectExecute();
    void actCancelExecute();
    void actSeparRangeExecute();
    // Ctrl+P: the commissioning report, beside the settings file.
    void actReportExecute();
    // F12, at any time: the phone view's dialog.
    void actRemoteViewExecute();

    // ---- the phone view ----
    // Shares the live view on `port` (0: any free one) with a new address;
    // false, with the reason, when the port cannot be had.
    bool StartRemoteView(int port, std::string& error);
    // Ends every phone's connection at once.
    void StopRemoteView();
    // The server while sharing, else none.
    const ViewServer* RemoteView() const { return viewServer_.get(); }
    // The addresses a phone on one of this machine's networks opens.
    std::vector<std::string> RemoteViewAddresses() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct OwnedLine;
    TfmMain(std::unique_ptr<OwnedLine> line, QWidget* parent);

    void Construct();
    void BuildWindow();
    void BuildTimers();
    void BuildPages();
    void AddPage(ConsolePage* page, const char* caption);
    void BuildNote();
    void BuildActionList();
    // Ctrl+P's writer, the forms it remembers and the label that says it works.
    void BuildReportWriter();
    // The report or CSV is written, or why not: the installer may open it.
    void ReportWritten(const ReportWriter::Result& result);
    void ReadSettingsFile();

    // ---- the wake-ups: one timer and the watch on the line ----
    // The one place that decides when the console wakes next (PlanWake):
    // after every wake, and whenever what it waits for changed (a port
    // opened or closed, a command queued, a redraw refused).
    void Replan();
    // The timer fired: the jobs it was armed for.
    void TimerWake();
    // Does the jobs of one wake (WakeJob), then plans the next.
    void Wake(unsigned jobs);
    void Pass();
    // The trailing redraw: a signal-driven redraw the limit refused, done now.
    void RedrawTimerTimer();
    // The page in view redraws when anything it draws from changed since it
    // last drew (ModelRedrawDue), after every pass and as the trailing redraw.
    void FollowModel();
    // The presentation the page in view asked for within a frame, done now.
    void PresentWaitingFrame();
    // Before anything closes the line or opens it anew.
    void ForgetLine();
    // A command word waits in its slot: its sends need the 1 ms tick.
    void CommandWaiting();
    // The line's figures into the "Mode:" tooltip, when they are due again.
    void ShowLinkHealth();

    void cbComPortDropDown();
    void cbComPortChange();
    // The port list closed: without a choice, the note says again what it
    // said before the list dropped down.
    void cbComPortCloseUp();
    void pcMainChange(QWidget* left, QWidget* entered);
    void FormClose();

    // ---- the phone view ----
    void BuildRemoteView();
    // Something the phone shows may have changed: a snapshot goes out now,
    // or as soon as the rate allows; nothing at all while nothing is shared.
    void RemoteViewChanged();
    void PublishRemoteView();
    // What the phone view waits for, for the planner.
    void RemoteViewFacts(WakeFacts& facts, double now) const;
    // At every wake while shared: the tick and a refused snapshot, once due.
    void RemoteViewDue();
    // Once a second while shared: the phones counted, and a snapshot that
    // catches what changed without a status word (a click on a page).
    void RemoteViewTick();
    void ShowRemoteViewState(const QString& problem = QString());
    void RemoteViewWanted(bool on, int port);

    void ApplyAccessResult(int result);
    // What the pages and the record still hold goes into the record's file.
    void FlushSiteRecord();
    void SetActivePage(Page page);
    // F1, F2, F3 and F9: the page the key stands for at this level, if any;
    // the page in view asks for its mode again.
    void SelectPageByKey(int functionKey);
    // A page in view comes into view once more (a detector found again).
    void ShowPageAgain(Page page);
    ConsolePage* PageOf(Page page) const;
    ConsolePage* ActiveConsolePage() const;
    // Runs a hook on every page, in view or not.
    void ForEachPage(const std::function<void(ConsolePage*)>& hook) const;
    bool Linked() const;

    std::unique_ptr<OwnedLine> ownedLine_;
    ByteLink& port_;
    PortDirectory& ports_;
    Clock& clock_;

    NumberFormat format_;
    ProfileFile IniFile;
    ConsoleSettings settings_;
    CorrespondenceTables tables_;
    ExchangeLog log_;
    std::unique_ptr<SiteRecord> siteRecord_;
    std::unique_ptr<SiteMemory> siteMemory_;
    ReportWriter* reportWriter_ = nullptr;
    QLabel* lReportBusy = nullptr;
    QString reportNote_;  // said with the next report written
    std::unique_ptr<ConsoleCore> core_;
    std::unique_ptr<PageContext> pageContext_;

    AccessLevel eAccessLevel = EAccBasic;
    std::string sBaseCaption;
    RedrawLimit refreshLimit_;  // with dblLastRefresh
    RedrawLimit frameLimit_;    // the pages' presentations
    bool closing_ = false;
    // The note when the port list dropped down.
    std::optional<std::string> noteBeforeList_;

    // The one timer: the first tick, the 1 ms tick while a command word goes
    // out, the rest between passes while frames stream, the link time-out,
    // the core's watch, the redraws that wait and, while shared, the phone
    // view's waiting snapshot and its tick. It repeats, so that while
    // frames stream it runs on untouched from pass to pass.
    QTimer* Timer = nullptr;
    unsigned timerJobs_ = kWakePass;
    LineWatch* lineWatch_ = nullptr;
    // What the last pass said: false after an error, until a port opens.
    bool polling_ = true;
    // Inside a wake (or a plan): nothing else wakes, and plans wait for its end.
    bool inWake_ = false;
    // The wake in progress came from the timer, which runs on.
    bool timerWoke_ = false;
    // The first pass (which lists the ports and opens one) has run: until
    // then the timer stays armed for it, whatever else asks for a plan.
    bool firstPassDone_ = false;
    PageControl* pcMain = nullptr;
    std::vector<ConsolePage*> pages_;  // in tab order: Calibration ... About
    InfoPanel* gbInfo = nullptr;
    QTextEdit* memoNote = nullptr;
    std::string noteShown_;  // memoNote's text
    ReportNotice* reportNotice_ = nullptr;
    KeyActionList* ActionList = nullptr;
    TfrmPassword* frmPassword_ = nullptr;

    // The phone view: its server while shared, the pace of its snapshots and
    // the news of the last one sent, the alarms counted with their times, and
    // its dialog.
    std::unique_ptr<ViewServer> viewServer_;
    RedrawLimit remoteLimit_;
    PhoneNews remoteSent_;
    double remoteTickAt_ = 0;  // monotonic seconds of the next tick
    CountedAlarms countedAlarms_;
    bool detectorSeen_ = false;
    int remotePort_ = 0;
    RemoteViewDialog* remoteDialog_ = nullptr;
};

}  // namespace quillane
