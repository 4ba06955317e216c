// TfmMain's pages and keys: the page-visibility rule by link and access level,
// the page-change handlers and the twelve actions of the action list.
#include <QAction>
#include <QKeySequence>
#include <QTabWidget>

#include "model/MessageTexts.h"
#include "protocol/ConsoleCore.h"
#include "ui/AboutPage.h"
#include "ui/ActionList.h"
#include "ui/CalibrationPage.h"
#include "ui/PropertiesPage.h"
#include "ui/SettingsPage.h"
#include "ui/SetupPage.h"
#include "ui/TfmMain.h"
#include "ui/TfrmPassword.h"

namespace quillane {
namespace {

void SetTabShown(QTabWidget* tabs, QWidget* page, bool shown) {
    tabs->setTabVisible(tabs->indexOf(page), shown);
}

}  // namespace

void TfmMain::BuildActionList() {
    ActionList_ = new ActionList(this);
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
        QAction* action = ActionList_->Add(e.name, QString::fromLatin1(e.caption), key);
        const auto handler = e.handler;
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!ActionList_->Suspended()) (this->*handler)();
        });
        if (e.key == Qt::Key_unknown) ActionList_->KeepDisabled(action);
    }
    ActionList_->SetSuspended(true);
}

// ---- pages ----

Page TfmMain::ActivePage() const {
    const QWidget* page = pcMain->currentWidget();
    if (page == tsTuneUp) return Page::Calibration;
    if (page == tsSense) return Page::Setup;
    if (page == tsRange) return Page::Settings;
    if (page == tsParams) return Page::Properties;
    return Page::About;
}

ConsolePage* TfmMain::ActiveConsolePage() const {
    return qobject_cast<ConsolePage*>(pcMain->currentWidget());
}

// Works on a hidden tab too: the page-selecting keys do not look at the tabs.
void TfmMain::SetActivePage(QWidget* page) { pcMain->setCurrentWidget(page); }

void TfmMain::pcMainChange(int index) {
    QWidget* now = pcMain->widget(index);
    if (now == shownPage_) return;
    if (auto* left = qobject_cast<ConsolePage*>(shownPage_)) left->PageHide();
    shownPage_ = now;
    if (auto* entered = qobject_cast<ConsolePage*>(now)) entered->PageShow();
}

void TfmMain::tsVelmoShow() { SetNote(Linked() ? note::kEmpty : note::kWaiting); }

void TfmMain::UpdatePageVisibility() {
    const bool linked = Linked();
    SetTabShown(pcMain, tsTuneUp, linked);
    switch (eAccessLevel_) {
        case EAccBasic:
            SetTabShown(pcMain, tsSense, linked);
            if (linked) SetActivePage(tsSense);
            SetTabShown(pcMain, tsRange, false);
            SetTabShown(pcMain, tsParams, false);
            // Hiding the other tabs may have moved the selection away again.
            if (linked) SetActivePage(tsSense);
            break;
        case EAccAdvanced:
            SetTabShown(pcMain, tsRange, linked);
            SetTabShown(pcMain, tsSense, false);
            SetTabShown(pcMain, tsParams, false);
            break;
        case EAccDeveloper:
            SetTabShown(pcMain, tsParams, linked);
            tsRange->EnableParamSet(linked);
            SetTabShown(pcMain, tsRange, linked);
            SetTabShown(pcMain, tsSense, false);
            break;
    }
    SetTabShown(pcMain, tsVelmo, true);
}

// ---- actions ----

void TfmMain::actEnterPasswordExecute() {
    if (!frmPassword_) return;
    ApplyAccessResult(frmPassword_->exec());
}

void TfmMain::ApplyAccessResult(int result) {
    if (const std::optional<AccessLevel> level = LevelForResult(result)) {
        eAccessLevel_ = *level;
        setWindowTitle(QString::fromStdString(CaptionFor(sBaseCaption_, eAccessLevel_)));
    }
    // Even a cancelled dialog re-runs the rule, with the link as it is now.
    UpdatePageVisibility();
    tsRange->RefreshRangeCharts();
}

void TfmMain::actVelmoSelectExecute() {
    SetActivePage(tsVelmo);
    SetNote(note::kSelectMode);
}

void TfmMain::actTuneUpSelectExecute() { SetActivePage(tsTuneUp); }

void TfmMain::actSetupSelectExecute() {
    SetActivePage(eAccessLevel_ == EAccBasic ? static_cast<QWidget*>(tsSense) : tsRange);
}

void TfmMain::actParamsSelectExecute() {
    if (eAccessLevel_ == EAccDeveloper) SetActivePage(tsParams);
}

void TfmMain::actApplayExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->ApplayKey();
}

void TfmMain::actApplayParamsExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->ApplayParamsKey();
}

void TfmMain::actSaveTrvExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->SaveTrvKey();
}

void TfmMain::actClearTrvExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->ClearTrvKey();
}

void TfmMain::actClearExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->ClearKey();
}

void TfmMain::actCancelExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->CancelKey();
}

void TfmMain::actSeparRangeExecute() {
    if (ConsolePage* page = ActiveConsolePage()) page->SeparRangeKey();
}

}  // namespace quillane
