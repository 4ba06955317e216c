// TfmMain's side of the status handlers: the core decodes the stored words into
// display values, the window puts them into the info panel and the note, and
// hands the word on to the page in view.
#include <QTextEdit>

#include "console/ConsoleCore.h"
#include "console/line/CommandAnswer.h"
#include "console/pages/ModelRedraw.h"
#include "console/pages/PageRule.h"
#include "console/record/SiteRecord.h"
#include "model/MessageTexts.h"
#include "os/Clock.h"
#include "ui/pages/ConsolePage.h"
#include "ui/window/InfoPanel.h"
#include "ui/window/KeyActionList.h"
#include "ui/window/PortComboBox.h"
#include "ui/window/TfmMain.h"

namespace quillane {

void TfmMain::ShowSignal() {
    // The word as it came, before a page may hold the stored one at the average.
    siteRecord_->SignalWord(core_->Model());
    const bool working = core_->eDeviceState() >= EDevWork;
    // Measured on the monotonic clock: a wall clock set back would otherwise
    // hold the redraws back until it caught up again.
    const SignalRefresh refresh =
        ShowSignalDecision(core_->Model(), ActivePage(), working, clock_.MonotonicSeconds(),
                           refreshLimit_, settings_.iSelectFilter);
    if (refresh != SignalRefresh::None) ActiveConsolePage()->SignalWord();
    RemoteViewChanged();
}

void TfmMain::RefreshSensPages() {
    if (SensRefreshDue(ActivePage(), core_->eDeviceState() >= EDevWork))
        ActiveConsolePage()->SensitivityWords();
    RemoteViewChanged();
}

void TfmMain::ShowZone() {
    gbInfo->ShowZone(
        ZoneValues(core_->Model(), [this](int zone) { return tables_.DistSens(zone); }));
    RefreshSensPages();
}

void TfmMain::ShowSpeedAndWarning() {
    const SpeedWarningDisplay d = SpeedAndWarningValues(core_->Model(), ActivePage(), format_);
    gbInfo->ShowSpeed(d.speed);
    if (d.note) SetNote(*d.note);
}

void TfmMain::ShowDetectorState() {
    const StateDisplay d = DetectorStateValues(core_->Model(), ActivePage(), format_);
    gbInfo->ShowState(d);
    if (d.note) SetNote(*d.note);
    siteRecord_->DetectorWarning(core_->Model());
    ActiveConsolePage()->DetectorState(d);
    RemoteViewChanged();
}

void TfmMain::ShowIdentity() {
    gbInfo->ShowIdentity(IdentityValues(core_->Model()));
    siteRecord_->IdentityHeard(core_->Model());
}

void TfmMain::ShowPower() {
    gbInfo->ShowPower(PowerValue(core_->Model(), settings_.dblKdc, settings_.dblUrd, format_));
}

void TfmMain::OnDetectorFound() {
    siteRecord_->DetectorFound(core_->Model(), SelectedPortText());
    const std::optional<Page> page =
        PageOnDetection(core_->DetectorCalibrating(), core_->PageBeforeLoss());
    UpdatePageVisibility(page.value_or(Page::Setup));
    if (page && *page == ActivePage())
        ShowPageAgain(*page);
    else if (page)
        SetActivePage(*page);
    else
        SetNote(note::kSelectMode);
    ActionList->SetSuspended(false);
    detectorSeen_ = true;
    RemoteViewChanged();
}

void TfmMain::ResetDetectorView() {
    siteRecord_->LinkLost();
    if (const std::optional<Page> page = PageOnLinkLoss(ActivePage())) SetActivePage(*page);
    gbInfo->ShowReset();
    SetNote(note::kWaiting);
    UpdatePageVisibility();
    ActionList->SetSuspended(true);
    // "link lost" reaches the phone at once, not with the next snapshot.
    RemoteViewChanged();
}

void TfmMain::SetNote(const std::string& text) {
    // One message at a time: each replaces whatever the note said before.
    // Status words repeat the same note many times a second; only a new text
    // is worth a new layout and paint of the memo (and reading the memo's
    // text back out of its document costs more than keeping it).
    if (text == noteShown_) return;
    noteShown_ = text;
    memoNote->setPlainText(QString::fromStdString(text));
}

void TfmMain::SetPortItems(const std::vector<PortEntry>& items, int selected) {
    gbInfo->cbComPort->SetPorts(items, selected);
}

void TfmMain::ShowPortInUse(const PortEntry& entry) { gbInfo->cbComPort->ShowPortInUse(entry); }

void TfmMain::SetPortProblem(const std::string& text) {
    gbInfo->cbComPort->ShowOpenProblem(QString::fromStdString(text));
}

std::string TfmMain::SelectedPortText() const {
    return gbInfo->cbComPort->currentText().toStdString();
}

void TfmMain::Reconnecting(const std::string& text) {
    gbInfo->ShowLinkHealth(text);
    Replan();
}

// Its answer time is watched from now on.
void TfmMain::CommandRunBegun(CommandSource) { Replan(); }

void TfmMain::CommandRunEnded(const CommandRun& run) { siteRecord_->CommandRunEnded(run); }

void TfmMain::ShowAnswerMark(MarkPlace place, const AnswerMark* mark) {
    std::optional<CommandAnswer> answer;
    if (mark)
        answer = mark->outcome ? OutcomeAnswer(*mark->outcome, tables_, format_)
                               : WaitingAnswer(mark->source);
    if (place == MarkPlace::Mode)
        answer ? gbInfo->ShowAnswer(*answer) : gbInfo->ClearAnswer();
    else
        ForEachPage([&](ConsolePage* p) { p->ShowAnswerMark(place, answer ? &*answer : nullptr); });
}

void TfmMain::FollowModel() {
    ConsolePage* page = ActiveConsolePage();
    if (ModelRedrawDue(page->Kind(), page->LastDrawnFrom(), core_->Model(),
                       core_->eDeviceState() >= EDevWork, clock_.MonotonicSeconds(), refreshLimit_,
                       settings_.iSelectFilter))
        page->ModelChanged();
}

}  // namespace quillane
