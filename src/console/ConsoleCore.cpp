#include "console/ConsoleCore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>
#include <utility>
#include <vector>

#include "console/ConsoleView.h"
#include "console/line/AnswerMarks.h"
#include "console/line/CommandCheck.h"
#include "console/line/PortChoice.h"
#include "console/line/PortProblem.h"
#include "console/line/Reconnect.h"
#include "console/pages/ModeRule.h"
#include "link/ByteLink.h"
#include "link/PortDirectory.h"
#include "model/Conversions.h"
#include "model/MessageTexts.h"
#include "os/Clock.h"
#include "protocol/CommandQueue.h"
#include "protocol/DetectorStates.h"
#include "protocol/ExchangeLog.h"
#include "protocol/FrameCodec.h"
#include "protocol/LogFormat.h"
#include "protocol/Receiver.h"

namespace quillane {

namespace {

constexpr int kBaudRate = 57600;
constexpr double kShutdownWaitSeconds = 10.0;

// The number of a port item "COM<n>": the text from its fourth character, as a
// decimal number; anything that is not one gives 0, which opens nothing.
int PortNumberOf(const std::string& itemText) {
    if (itemText.size() <= 3) return 0;
    const std::string digits = itemText.substr(3);
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, 10);
    const bool whole = end != digits.c_str() && *end == '\0';
    if (!whole || errno == ERANGE || value < INT_MIN || value > INT_MAX) return 0;
    return static_cast<int>(value);
}

}  // namespace

struct ConsoleCore::Impl {
    Impl(ConsoleCore& core, ByteLink& port, PortDirectory& ports, Clock& clock, ExchangeLog& log,
         ConsoleView& view)
        : port(port),
          ports(ports),
          clock(clock),
          log(log),
          view(view),
          receiver(port, clock, log, view, model,
                   Receiver::Steps{[&core] { core.OnDetectorFound(); },
                                   [&core] { core.ResetDetectorView(); },
                                   [this](std::uint16_t word) { WordReceived(word); }}) {}

    void TryReconnect(double now) {
        if (!reconnect.Due(now)) return;
        // Open closes first: a reopened port that stayed silent is let go,
        // and what was counted on it belongs to it.
        receiver.NewLine();
        bPortOpen = port.Open(reconnect.PortNumber(), kBaudRate);
        if (!bPortOpen) {
            reconnect.Failed(now);
            return;
        }
        reconnect.Opened(now);
        receiver.Health().Restart(now);
        // A line that only falls silent is tried until a detector answers:
        // meanwhile the note still says the console is reconnecting.
        view.SetNote(reconnect.Active() ? reconnect.Text() : note::kWaiting);
        // The alias may lead to another device now: the selector names it.
        view.ShowPortInUse(ports.Describe(reconnect.PortNumber()));
        view.Reconnected();
    }

    // The console looks for a port plugged in until the user chooses one, and
    // not while an error has stopped polling.
    bool Looking() const { return !chosenByUser && !stoppedByError && nextLook.has_value(); }

    std::optional<double> WatchDueIn(double now) const {
        std::optional<double> due = reconnect.NextTry();
        const auto earliest = [&due](double at) { due = due ? std::min(*due, at) : at; };
        if (const auto answer = check.NextDue(now)) earliest(*answer);
        if (Looking()) earliest(*nextLook);
        if (!due) return std::nullopt;
        return std::max(0.0, *due - now);
    }

    void Recorded(const std::vector<QueuedRun>& runs) {
        for (const QueuedRun& run : runs) view.CommandRunQueued(run);
    }

    void WordReceived(std::uint16_t word) {
        // Up to 1440 words a second: the clock is read only while a run waits.
        if (!check.Waiting()) return;
        Ended(check.Reported(word, clock.MonotonicSeconds()));
    }

    void Ended(const std::vector<CommandRun>& runs) {
        for (const CommandRun& run : runs) {
            view.CommandRunEnded(run);
            marks.Ended(run);
        }
        ShowMarks();
    }

    void ShowMarks() {
        for (const MarkPlace place : marks.TakeChanged())
            view.ShowAnswerMark(place, marks.At(place));
    }

    ByteLink& port;
    PortDirectory& ports;
    Clock& clock;
    ExchangeLog& log;
    ConsoleView& view;
    DetectorModel model;
    Receiver receiver;
    CommandQueue commands;
    CommandCheck check;
    AnswerMarks marks;
    Reconnect reconnect;
    std::function<int(int)> distSens = DefaultDistSens;
    // The last code-0 word written, until a state word has answered it.
    std::optional<std::uint16_t> unansweredCmd0;
    bool bFirstTick = true;
    int iPortNumber = 0;
    bool bPortOpen = false;
    // The ports the last listing left out, with their reasons.
    std::vector<PortEntry> leftOut;
    // A port chosen by the user wins: the console takes none by itself.
    bool chosenByUser = false;
    // An error in a pass stopped polling until the user chooses a port.
    bool stoppedByError = false;
    // The port numbers of the last look, and when the next is due.
    std::vector<int> knownPorts;
    std::optional<double> nextLook;
    // The page in view, as the window tells it; the page in view when the
    // link to a detector found was lost, until it is found again.
    Page inView = Page::About;
    bool detected = false;
    std::optional<Page> lostFrom;
};

ConsoleCore::ConsoleCore(ByteLink& port, PortDirectory& ports, Clock& clock, ExchangeLog& log,
                         ConsoleView& view)
    : d_(new Impl(*this, port, ports, clock, log, view)) {}

ConsoleCore::~ConsoleCore() { delete d_; }

// ---- poll cycle ----

bool ConsoleCore::TimerTimer() {
    try {
        if (d_->bFirstTick) {
            d_->bFirstTick = false;
            cbComPortDropDown();
            // From now on an adapter plugged in is looked for.
            d_->nextLook = d_->clock.MonotonicSeconds() + kPortLookSeconds;
            return OpenSelected(false);
        }
        // The pass's log lines carry the one time of the pass; those held
        // long enough leave when it ends, also when a handler fails half-way
        // (and then all of them, before the error box shows).
        const ExchangeLog::Pass pass(d_->log);
        // What the handlers queued since the last pass goes out from now on.
        CloseCommandRun();
        Recv();
        Send();
        return true;
    } catch (const std::exception& e) {
        d_->stoppedByError = true;
        d_->log.Flush();
        d_->view.ShowError(e.what());
    } catch (...) {
        d_->stoppedByError = true;
        d_->log.Flush();
        d_->view.ShowError("");
    }
    // Polling stays stopped until the user picks a port that opens.
    return false;
}

void ConsoleCore::Recv() {
    const unsigned stateWords = d_->receiver.StateWordCount();
    const bool linked = Linked();
    d_->receiver.Recv();
    // A state word read after a code-0 frame went out shows what the detector
    // made of it; the next frame of a run still going on renews the wait.
    if (d_->receiver.StateWordCount() != stateWords) d_->unansweredCmd0.reset();
    if (d_->reconnect.Active()) d_->reconnect.Heard(d_->receiver.LastFrameSeconds());
    // Only the link time-out unlinks inside the pass. The port is still
    // open when the user chose it (or the console took it at start): the
    // list dropped down and left changes nothing.
    const bool timedOut = linked && !Linked();
    if (timedOut && d_->port.IsOpen() && d_->port.GoesSilentWhenGone()) LeaveLine();
    NoticeDeviceGone();
}

WakeFacts ConsoleCore::Facts(bool polling, double now) const {
    WakeFacts w;
    PollFacts& f = w.poll;
    f.polling = polling;
    f.commandPending = d_->commands.bCmdPending();
    f.watchable = d_->port.ReadableHandle() != ByteLink::kNoReadable;
    f.bytesRead = d_->receiver.LastReadCount();
    f.closedOrGone = !d_->port.IsOpen() || d_->port.DeviceGone();
    f.moreWaiting = f.bytesRead == Receiver::kReadSize;
    if (Linked()) f.secondsToTimeout = d_->receiver.SecondsToTimeout(now);
    w.watchIn = d_->WatchDueIn(now);
    w.logIn = d_->log.FlushDueIn(now);
    return w;
}

void ConsoleCore::Send() {
    // The transmit pass serves the code-0 slot first whenever it waits.
    if (d_->commands.SlotPending(command::kModeWord))
        d_->unansweredCmd0 = d_->commands.SlotWord(command::kModeWord);
    const bool sending = d_->commands.bCmdPending();
    if (const std::optional<std::uint16_t> out = d_->commands.Send(d_->port, d_->log))
        d_->check.WentOut(*out);
    if (sending && !d_->commands.bCmdPending()) {
        CloseCommandRun();
        d_->Recorded(d_->check.SendsEnded(d_->clock.MonotonicSeconds()));
    }
    NoticeDeviceGone();
}

// The open line says its device went away.
void ConsoleCore::NoticeDeviceGone() {
    if (d_->port.IsOpen() && d_->port.DeviceGone()) LeaveLine();
}

// The port is closed (which lets the device node go) and tried again by the
// watch. The link is lost at once, not after the silence of the link
// time-out, so the detector is found anew when the port opens again. The
// note says so, where the installer looks.
void ConsoleCore::LeaveLine() {
    ByteLink& port = d_->port;
    port.Close();
    d_->receiver.DropPartialFrame();
    d_->bPortOpen = false;
    d_->reconnect.Start(d_->iPortNumber, d_->clock.MonotonicSeconds(), port.GoesSilentWhenGone());
    if (d_->receiver.eDeviceState > EDevNone) {
        d_->receiver.eDeviceState = EDevNone;
        d_->log.WriteLog(std::string(logformat::kTraceDeviceGone) +
                         std::to_string(d_->iPortNumber));
        ResetDetectorView();
    }
    d_->view.SetNote(d_->reconnect.Text());
    d_->view.Reconnecting(d_->reconnect.Text());
}

// ---- port selection ----

void ConsoleCore::cbComPortDropDown() {
    d_->view.SetNote(note::kSelectPort);
    const bool wasOpen = d_->bPortOpen && d_->port.IsOpen();
    ListPorts(std::nullopt);
    // Probed, it is taken up again at once: the link and the tries go on.
    if (wasOpen && !d_->port.Open(d_->iPortNumber, kBaudRate)) LeaveLine();
}

bool ConsoleCore::ListPorts(std::optional<int> take) {
    const bool inUse = (d_->bPortOpen && d_->port.IsOpen()) || d_->reconnect.Active();
    // The port in use is probed like every other one, so it must be free.
    d_->port.Close();
    d_->receiver.DropPartialFrame();
    std::vector<PortEntry> listed = d_->ports.EnumerateComPorts();
    if (static_cast<int>(listed.size()) > kMaxPorts) listed.resize(kMaxPorts);
    d_->leftOut.clear();
    d_->knownPorts.clear();
    bool takeOpens = false;
    for (const PortEntry& entry : listed) {
        d_->knownPorts.push_back(entry.number);
        if (!entry.available) d_->leftOut.push_back(entry);
        if (entry.available && entry.number == take) takeOpens = true;
    }
    std::optional<int> selected;
    if (takeOpens)
        selected = take;
    else if (inUse && d_->iPortNumber > 0)
        selected = d_->iPortNumber;
    const PortItems items = PortItemsFor(listed, selected);
    d_->view.SetPortItems(items.items, items.selected);
    // An empty list still says why, also while the user looks at it.
    if (items.items.empty()) d_->view.SetPortProblem(PortProblemText("", "", d_->leftOut));
    return takeOpens;
}

bool ConsoleCore::cbComPortChange() {
    d_->chosenByUser = true;
    d_->stoppedByError = false;
    return OpenSelected(true);
}

bool ConsoleCore::OpenSelected(bool byUser) {
    d_->reconnect.Stop();
    d_->receiver.eDeviceState = EDevNone;
    d_->log.WriteLog(logformat::kTracePortChange);
    ResetDetectorView();
    // A port the user chose starts afresh: no page comes back from before.
    if (byUser) d_->lostFrom.reset();
    d_->view.SetNote(note::kWaiting);
    const std::string item = d_->view.SelectedPortText();
    d_->iPortNumber = PortNumberOf(item);
    d_->receiver.NewLine();
    d_->receiver.Health().Restart(d_->clock.MonotonicSeconds());
    d_->bPortOpen = d_->port.Open(d_->iPortNumber, kBaudRate);
    if (!d_->bPortOpen) d_->view.SetNote(note::kCannotOpen);
    d_->view.SetPortProblem(
        d_->bPortOpen ? std::string() : PortProblemText(item, d_->port.LastError(), d_->leftOut));
    return d_->bPortOpen;
}

// An adapter plugged in while no detector is linked is taken as the last
// port is at start, unless the user chose a port: that choice wins. The
// look lists the port numbers only; the ports are probed when one appeared.
void ConsoleCore::LookForNewPort(double now) {
    if (!d_->Looking() || now < *d_->nextLook) return;
    d_->nextLook = now + kPortLookSeconds;
    std::vector<int> listed = d_->ports.ListPortNumbers();
    const std::optional<int> fresh = NewPort(d_->knownPorts, listed);
    d_->knownPorts = std::move(listed);
    // The port being tried again is the tries' to take.
    if (!fresh || Linked() || (d_->reconnect.Active() && *fresh == d_->reconnect.PortNumber()))
        return;
    const bool wasOpen = d_->bPortOpen && d_->port.IsOpen();
    if (ListPorts(fresh)) {
        if (OpenSelected(false)) d_->view.Reconnected();
    } else if (wasOpen && !d_->port.Open(d_->iPortNumber, kBaudRate)) {
        LeaveLine();
    }
}

int ConsoleCore::iPortNumber() const { return d_->iPortNumber; }

bool ConsoleCore::bPortOpen() const { return d_->bPortOpen; }

// ---- link state and the detector model ----

DeviceState ConsoleCore::eDeviceState() const { return d_->receiver.eDeviceState; }

std::optional<LinkHealth::Figures> ConsoleCore::LinkHealthDue() {
    if (d_->reconnect.Active()) return std::nullopt;
    return d_->receiver.Health().Due(d_->clock.MonotonicSeconds());
}

int ConsoleCore::iInpPacketsCodeCounter() const { return d_->receiver.iInpPacketsCodeCounter(); }

const DetectorModel& ConsoleCore::Model() const { return d_->model; }

bool ConsoleCore::DetectorCalibrating() const {
    return frame::State(d_->model.Word(status::kStateWord)) == detector::kStateCalibration;
}

bool ConsoleCore::CalibrationAhead() const {
    return quillane::CalibrationAhead(PendingCommand(command::kModeWord), d_->unansweredCmd0,
                                      d_->model.Word(status::kStateWord));
}

namespace {

void Queue(ConsoleCore& core, ModeCommand command) {
    if (command == ModeCommand::StartCalibration) core.StartCalibrationMode();
    if (command == ModeCommand::StopCalibration) core.StopCalibrationMode();
}

}  // namespace

void ConsoleCore::PageShown(Page page) {
    d_->inView = page;
    d_->marks.PageShown(page);
    ShowMarks();
    Queue(*this, ModeCommandOnShow(page, Linked(), CalibrationAhead()));
}

void ConsoleCore::PageLeft(Page page) {
    d_->marks.PageLeft(page);
    ShowMarks();
    Queue(*this, ModeCommandOnLeave(page, Linked(), CalibrationAhead()));
}

void ConsoleCore::PageKey(Page page) {
    Queue(*this, ModeCommandOnKey(d_->inView, page, Linked(), CalibrationAhead()));
}

std::optional<Page> ConsoleCore::PageBeforeLoss() const { return d_->lostFrom; }

void ConsoleCore::PageFieldsChanged(CommandSource source, const PageCommands& commands) {
    d_->marks.FieldsChanged(source, commands);
    ShowMarks();
}

void ConsoleCore::ShowMarks() { d_->ShowMarks(); }

void ConsoleCore::OverwriteStoredSig(unsigned sig) {
    std::uint16_t& word = d_->model.current[status::kSignalWord];
    word = static_cast<std::uint16_t>((word & ~0x3FFu) | (sig & 0x3FFu));
}

void ConsoleCore::ResetDetectorView() {
    // The link is lost or given up: the lines that tell how go to the disk
    // now, not a tenth of a second later.
    d_->log.Flush();
    if (d_->detected) d_->lostFrom = d_->inView;
    d_->detected = false;
    d_->model.Reset();
    // Whatever went out last was told to a detector no longer heard.
    d_->unansweredCmd0.reset();
    d_->marks.Reset();
    ShowMarks();
    d_->view.ResetDetectorView();
}

void ConsoleCore::OnDetectorFound() {
    // As at a loss of the link: the lines that tell how it came up go to the
    // disk at once.
    d_->log.Flush();
    // The detector answers on the port being tried: it is back.
    d_->reconnect.Stop();
    d_->detected = true;
    // The defaults' mark belongs to the page the detection brings into view.
    d_->marks.Unsettle();
    if (frame::Regul(d_->model.Word(status::kZoneWord)) == detector::kRegulAutoDefaults)
        ApplyAutoDefaults();
    d_->view.OnDetectorFound();
    d_->marks.Settle();
    ShowMarks();
    d_->lostFrom.reset();
}

// ---- command slots ----

void ConsoleCore::QueueCmd0(unsigned adr, unsigned senspp, unsigned state) {
    QueueWord(frame::Command0(adr, senspp, state));
}

void ConsoleCore::QueueCmd1(unsigned sensmp, unsigned sensbp, unsigned letter) {
    QueueWord(frame::Command1(sensmp, sensbp, letter));
}

void ConsoleCore::QueueCmd2(unsigned minSpd, unsigned maxSpd, unsigned dist, unsigned reg) {
    QueueWord(frame::Command2(minSpd, maxSpd, dist, reg));
}

void ConsoleCore::QueueWord(std::uint16_t word) {
    d_->commands.Queue(frame::CommandCode(word), word);
    for (const CommandCheck::Dropped& run : d_->check.Queued(word)) d_->marks.Dropped(run.id);
    ShowMarks();
    d_->view.CommandQueued(word);
}

void ConsoleCore::StartCalibrationMode() {
    BeginCommandRun(CommandSource::CalibrationStart);
    QueueMode(command::kModeCalibrate);
}

void ConsoleCore::StopCalibrationMode() {
    BeginCommandRun(CommandSource::CalibrationStop);
    QueueMode(command::kModeNormal);
}

// A mode word keeps the PL threshold the detector will have once the words
// on their way reached it: that of a code-0 word still waiting (automatic
// defaults, an Apply) or of one sent that no state word has answered yet.
// Else the detector would take the new LL and HL with its old PL.
void ConsoleCore::QueueMode(unsigned state) {
    std::optional<std::uint16_t> ahead = PendingCommand(command::kModeWord);
    if (!ahead) ahead = d_->unansweredCmd0;
    if (ahead) {
        QueueCmd0(frame::CmdAdr(*ahead), frame::CmdSensPp(*ahead), state);
        return;
    }
    const DetectorModel& m = d_->model;
    QueueCmd0(frame::Adr(m.Word(status::kIdentityWord)), frame::SensPp(m.Word(status::kSensWord)),
              state);
}

void ConsoleCore::ApplyAutoDefaults() {
    BeginCommandRun(CommandSource::AutoDefaults);
    const DetectorModel& m = d_->model;
    const unsigned zone = frame::Dist(m.Word(status::kZoneWord));
    const unsigned sens = static_cast<unsigned>(d_->distSens(static_cast<int>(zone)));
    QueueCmd0(frame::Adr(m.Word(status::kIdentityWord)), sens, command::kModeNormal);
    QueueCmd1(sens, sens, frame::Letter(m.Word(status::kIdentityWord)));
    QueueCmd2(frame::VelMin(m.Word(status::kSpeedWord)), frame::VelMax(m.Word(status::kSpeedWord)),
              zone, detector::kRegulAuto);
}

bool ConsoleCore::bCmdPending() const { return d_->commands.bCmdPending(); }

std::optional<std::uint16_t> ConsoleCore::PendingCommand(unsigned code) const {
    if (!d_->commands.SlotPending(code)) return std::nullopt;
    return d_->commands.SlotWord(code);
}

int ConsoleCore::iSendRepeatCounter() const { return d_->commands.iSendRepeatCounter(); }

void ConsoleCore::BeginCommandRun(CommandSource source) { BeginRun(source, PageCommands{}); }

void ConsoleCore::BeginRun(CommandSource source, const PageCommands& asked) {
    d_->check.Begin(source);
    if (const std::optional<RunId> run = d_->check.Taking()) d_->marks.Begun(*run, source, asked);
    ShowMarks();
    d_->view.CommandRunBegun(source);
}

void ConsoleCore::CloseCommandRun() { d_->check.Close(); }

void ConsoleCore::QueuePageCommands(CommandSource source, const PageCommands& commands) {
    BeginRun(source, commands);
    for (const std::optional<std::uint16_t>& word : commands.words)
        if (word) QueueWord(*word);
}

// ---- the console's own watch ----

void ConsoleCore::Watch() {
    const double now = d_->clock.MonotonicSeconds();
    d_->TryReconnect(now);
    LookForNewPort(now);
    d_->Ended(d_->check.Due(now));
}

std::optional<double> ConsoleCore::WatchDueIn() const {
    return d_->WatchDueIn(d_->clock.MonotonicSeconds());
}

bool ConsoleCore::Reconnecting() const { return d_->reconnect.Active(); }

// ---- shutdown ----

bool ConsoleCore::StopCalibrationAndWait(const std::function<void()>& processEvents) {
    StopCalibrationMode();
    const double start = d_->clock.MonotonicSeconds();
    // Never block without running the message loop: the command goes out only
    // from timer ticks, which run inside processEvents.
    while (d_->commands.bCmdPending() &&
           d_->clock.MonotonicSeconds() - start < kShutdownWaitSeconds) {
        if (processEvents) processEvents();
        d_->clock.SleepMs(1);
    }
    return !d_->commands.bCmdPending();
}

// ---- settings the core reads ----

void ConsoleCore::SetDistSens(std::function<int(int)> distSens) {
    d_->distSens = distSens ? std::move(distSens) : std::function<int(int)>(DefaultDistSens);
}

void ConsoleCore::SetMaxTenPercent(int maxTenPercent) {
    d_->receiver.Filter().SetMaxTenPercent(maxTenPercent);
}

int ConsoleCore::iMaxTenPercent() const { return d_->receiver.Filter().iMaxTenPercent(); }

int ConsoleCore::iTenPercentCounter() const { return d_->receiver.Filter().iTenPercentCounter(); }

}  // namespace quillane
