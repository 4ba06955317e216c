#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "protocol/AccessLevel.h"
#include "protocol/ConsoleView.h"
#include "protocol/ExchangeLog.h"
#include "protocol/StatusDisplay.h"

class QCloseEvent;
class QTabWidget;
class QTextEdit;
class QTimer;

namespace quillane {

class AboutPage;
class ActionList;
class ByteLink;
class CalibrationPage;
class Clock;
class ConsoleCore;
class ConsolePage;
class InfoPanel;
class PortDirectory;
class PropertiesPage;
class SettingsPage;
class SetupPage;
class TfrmPassword;

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
    AccessLevel eAccessLevel() const { return eAccessLevel_; }
    const std::string& sBaseCaption() const { return sBaseCaption_; }
    Page ActivePage() const;

    // One tick of the 1 ms poll timer; the timer runs on only while the core says so.
    void TimerTimer();
    void UpdatePageVisibility();

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
    void SetPortItems(const std::vector<PortEntry>& available) override;
    void SetPortProblem(const std::string& text) override;
    std::string SelectedPortText() const override;
    void ShowError(const std::string& message) override;

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct OwnedLine;
    TfmMain(std::unique_ptr<OwnedLine> line, QWidget* parent);

    void Construct();
    void BuildWindow();
    void BuildPages();
    void BuildNote();
    void BuildActionList();
    void ReadSettingsFile();

    void cbComPortDropDown();
    void cbComPortChange();
    void pcMainChange(int index);
    void tsVelmoShow();
    void FormClose();

    void ApplyAccessResult(int result);
    void SetActivePage(QWidget* page);
    ConsolePage* ActiveConsolePage() const;
    bool Linked() const;
    unsigned StoredState() const;

    std::unique_ptr<OwnedLine> ownedLine_;
    ByteLink& port_;
    PortDirectory& ports_;
    Clock& clock_;

    NumberFormat format_;
    ProfileFile iniFile_;
    ConsoleSettings settings_;
    CorrespondenceTables tables_;
    ExchangeLog log_;
    std::unique_ptr<ConsoleCore> core_;

    AccessLevel eAccessLevel_ = EAccBasic;
    std::string sBaseCaption_;
    double dblLastRefresh_ = 0;
    bool bClosing_ = false;

    QTimer* Timer = nullptr;
    QTabWidget* pcMain = nullptr;
    CalibrationPage* tsTuneUp = nullptr;
    SetupPage* tsSense = nullptr;
    SettingsPage* tsRange = nullptr;
    PropertiesPage* tsParams = nullptr;
    AboutPage* tsVelmo = nullptr;
    QWidget* shownPage_ = nullptr;
    InfoPanel* gbInfo = nullptr;
    QTextEdit* memoNote = nullptr;
    ActionList* ActionList_ = nullptr;
    TfrmPassword* frmPassword_ = nullptr;
};

}  // namespace quillane
