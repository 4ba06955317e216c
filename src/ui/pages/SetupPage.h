#pragma once

#include "console/pages/SenseView.h"
#include "ui/pages/ConsolePage.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quillane {

class ValueLabel;

class AlarmCounterGroup;
class AnswerLabel;
class BarChart;
class PageComboBox;

// The Setup page (tsSense), the installer's page at the basic level: the setup
// method, the zone length or the sensitivity, the detector's threshold levels
// against the live signal with the levels the choice would give, and Apply.
class SetupPage : public ConsolePage {
    Q_OBJECT

public:
    explicit SetupPage(PageContext& context, QWidget* parent = nullptr);

    void PageShow() override;  // tsSenseShow
    void SignalWord() override;
    void PresentFrame() override;
    void SensitivityWords() override;
    void ModelChanged() override;
    void DetectorState(const StateDisplay& state) override;
    void ApplayKey() override;
    void CancelKey() override;
    void SaveTrvKey() override;
    void ClearTrvKey() override;
    void ShowAnswerMark(MarkPlace place, const CommandAnswer* answer) override;
    PageHeld Held() const override;

    void btnCancelSenseClick();
    void btnApplaySenseClick();
    void cbRegulSenseChange();
    void cbRegulSenseDropDown();
    void cbDistSenseChange();
    void speSenseChange();
    // Redraw from the stored words, on the screen at once.
    void RefreshSenseChart();

private:
    void BuildGroup();
    void BuildChart();
    bool SpecialShown() const;
    bool SpecialPresets() const;  // the detector runs them and the box still says so
    void SetSense(int percent);
    void LoadZoneAndSense();
    // The rule's step on the latest words; what it shows waits for PresentFrame.
    void Compute();
    // The fields changed: a mark of what they asked before goes.
    void FieldsChanged();
    PageCommands FieldCommands() const;

    QGroupBox* group_ = nullptr;
    PageComboBox* cbRegulSense = nullptr;
    PageComboBox* cbDistSense = nullptr;
    QSpinBox* speSense = nullptr;
    QPushButton* btnApplaySense = nullptr;
    QPushButton* btnCancelSense = nullptr;
    AnswerLabel* lSenseAnswer = nullptr;  // under btnApplaySense
    ValueLabel* lSenseSignal = nullptr;
    BarChart* chSense = nullptr;
    AlarmCounterGroup* trv_ = nullptr;
    SenseChart shown_;                   // what the next presentation writes
    std::optional<double> signalShown_;  // the signal label's value, once it had one
};

}  // namespace quillane
