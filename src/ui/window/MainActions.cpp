// TfmMain's pages and keys: the page-visibility rule by link and access level,
// the page-change handlers and the twelve actions of the action list.
#include <QAction>
#include <QKeySequence>
#include <QShortcut>

#include "console/ConsoleCore.h"
#include "console/pages/PageRule.h"
#include "console/record/SiteRecord.h"
#include "model/MessageTexts.h"
#include "ui/pages/ConsolePage.h"
#include "ui/window/InfoPanel.h"
#include "ui/window/KeyActionList.h"
#include "ui/window/PageControl.h"
#include "ui/window/PortComboBox.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmPassword.h"

namespace quillane {

void TfmMain::BuildActionList() {
    ActionList = new KeyActionList(this);
    struct Entry {
        const char* name;
        const char* caption;
        Qt::Key key;
        void (TfmMain::*handler)();
    };
    const Entry entries[] = {
        {"actEnterPassword", "Enter password", Qt::Key_F10, &TfmMain::actEnterPasswordExecute},
        {"actVelmoSelect", "actVelmoSelect", Qt::Key_F1, &TfmMain::actVelmoSelectExecute},
        {"actTuneUpSelect", "actTuneUpSelect", Qt::Key_F2, &TfmMain::actTuneUpSelectExecute},
        {"actSetupSelect", "actSetupSelect", Qt::Key_F3, &TfmMain::actSetupSelectExecute},
        {"actApplay", "actApplay", Qt::Key_F4, &TfmMain::actApplayExecute},
        {"actApplayParams", "actApplayParams", Qt::Key_F5, &TfmMain::actApplayParamsExecute},
        {"actSaveTrv", "actSaveTrv", Qt::Key_F6, &TfmMain::actSaveTrvExecute},
        {"actClearTrv", "actClearTrv", Qt::Key_F7, &TfmMain::actClearTrvExecute},
        {"actClear", "actClear", Qt::Key_F8, &TfmMain::actClearExecute},
        {"actParamsSelect", "actParamsSelect", Qt::Key_F9, &TfmMain::actParamsSelectExecute},
        {"actCancel", "actCancel", Qt::Key_Escape, &TfmMain::actCancelExecute},
        {"actSeparRange", "actSeparRange", Qt::Key_unknown, &TfmMain::actSeparRangeExecute},
    };
    for (const Entry& e : entries) {
        const QKeySequence key = e.key == Qt::Key_unknown ? QKeySequence() : QKeySequence(e.key);
        QAction* action = ActionList->Add(e.name, QString::fromLatin1(e.caption), key);
        const auto handler = e.handler;
        connect(action, &QAction::triggered, this, [this, handler] {
            if (ActionList->Suspended()) return;
            (this->*handler)();
            RemoteViewChanged();
        });
        if (e.key == Qt::Key_unknown) ActionList->KeepDisabled(action);
    }
    // Without a detector F4 opens the port list, as the caption "<F4>
    // Connection:" says, wherever a lost link has left the focus.
    QShortcut* portList = ActionList->AddWhileSuspended(QKeySequence(Qt::Key_F4));
    connect(portList, &QShortcut::activated, this, [this] {
        gbInfo->cbComPort->setFocus();
        gbInfo->cbComPort->showPopup();
    });
    // Besides the function keys: Ctrl+P, the print key of every desktop
    // program, writes the commissioning report.
    QAction* report = ActionList->Add("actReport", QStringLiteral("actReport"),
                                      QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(report, &QAction::triggered, this, [this] {
        if (!ActionList->Suspended()) actReportExecute();
    });
    ActionList->SetSuspended(true);
}

// ---- pages ----

ConsolePage* TfmMain::PageOf(Page page) const { return pages_[static_cast<std::size_t>(page)]; }

Page TfmMain::ActivePage() const { return ActiveConsolePage()->Kind(); }

ConsolePage* TfmMain::ActiveConsolePage() const {
    return static_cast<ConsolePage*>(pcMain->ShownPage());
}

void TfmMain::ForEachPage(const std::function<void(ConsolePage*)>& hook) const {
    for (ConsolePage* page : pages_) hook(page);
}

// Works on a hidden tab too: the page-selecting keys do not look at the tabs.
void TfmMain::SetActivePage(Page page) { pcMain->SetActivePage(PageOf(page)); }

// The mode the detector is asked for follows the page in view; it is the
// first step of each page's own hide and show.
void TfmMain::pcMainChange(QWidget* left, QWidget* entered) {
    siteRecord_->PageInView(static_cast<ConsolePage*>(entered)->Kind());
    if (auto* page = static_cast<ConsolePage*>(left)) {
        core_->PageLeft(page->Kind());
        page->PageHide();
    }
    auto* page = static_cast<ConsolePage*>(entered);
    core_->PageShown(page->Kind());
    page->PageShow();
    RemoteViewChanged();
}

void TfmMain::ShowPageAgain(Page page) {
    siteRecord_->PageInView(page);
    core_->PageShown(page);
    PageOf(page)->PageShow();
}

void TfmMain::UpdatePageVisibility() { UpdatePageVisibility(Page::Setup); }

void TfmMain::UpdatePageVisibility(Page basicPage) {
    const bool linked = Linked();
    for (const PageStep& step : PageVisibilitySteps(eAccessLevel, linked, basicPage)) {
        if (step.kind == PageStep::BringIntoView)
            SetActivePage(step.page);
        else
            pcMain->SetTabShown(PageOf(step.page), step.kind == PageStep::ShowTab);
    }
    ForEachPage([this, linked](ConsolePage* p) { p->AccessOrLinkChanged(eAccessLevel, linked); });
}

// ---- actions ----

void TfmMain::actEnterPasswordExecute() {
    if (!frmPassword_) return;
    ApplyAccessResult(frmPassword_->exec());
}

void TfmMain::ApplyAccessResult(int result) {
    if (const std::optional<AccessLevel> level = LevelForResult(result)) {
        eAccessLevel = *level;
        setWindowTitle(QString::fromStdString(CaptionFor(sBaseCaption, eAccessLevel)));
    }
    // Even a cancelled dialog re-runs the rule, with the link as it is now.
    UpdatePageVisibility();
    ForEachPage([](ConsolePage* p) { p->AccessDialogClosed(); });
    RemoteViewChanged();
}

void TfmMain::SelectPageByKey(int functionKey) {
    const std::optional<Page> page = PageForKey(functionKey, eAccessLevel);
    if (!page) return;
    core_->PageKey(*page);
    SetActivePage(*page);
}

void TfmMain::actVelmoSelectExecute() {
    SelectPageByKey(1);
    SetNote(note::kSelectMode);
}

void TfmMain::actTuneUpSelectExecute() { SelectPageByKey(2); }

void TfmMain::actSetupSelectExecute() { SelectPageByKey(3); }

void TfmMain::actParamsSelectExecute() { SelectPageByKey(9); }

void TfmMain::actApplayExecute() { ActiveConsolePage()->ApplayKey(); }

void TfmMain::actApplayParamsExecute() { ActiveConsolePage()->ApplayParamsKey(); }

void TfmMain::actSaveTrvExecute() { ActiveConsolePage()->SaveTrvKey(); }

void TfmMain::actClearTrvExecute() { ActiveConsolePage()->ClearTrvKey(); }

void TfmMain::actClearExecute() { ActiveConsolePage()->ClearKey(); }

void TfmMain::actCancelExecute() { ActiveConsolePage()->CancelKey(); }

void TfmMain::actSeparRangeExecute() { ActiveConsolePage()->SeparRangeKey(); }

}  // namespace quillane
