#pragma once

#include <array>

#include "console/pages/RangeView.h"
#include "ui/pages/ConsolePage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace quillane {

class ValueLabel;

class AlarmCounterGroup;
class AnswerLabel;
class BarChart;
class PageComboBox;

// The Settings page (tsRange), offered at the advanced and developer levels
// instead of Setup: the signal as a deviation in percent against the PL, LL
// and HL thresholds with the largest deviations either way; the setup method,
// the zone length and, in Manual, split thresholds; and the device parameters.
class SettingsPage : public ConsolePage {
    Q_OBJECT

public:
    explicit SettingsPage(PageContext& context, QWidget* parent = nullptr);

    void PageShow() override;  // tsRangeShow
    void SignalWord() override;
    void PresentFrame() override;
    void SensitivityWords() override;
    void ModelChanged() override;
    void DetectorState(const StateDisplay& state) override;
    void ApplayKey() override;
    void ApplayParamsKey() override;
    void SaveTrvKey() override;
    void ClearTrvKey() override;
    void ClearKey() override;
    void CancelKey() override;
    void SeparRangeKey() override;
    void AccessOrLinkChanged(AccessLevel level, bool linked) override;
    void AccessDialogClosed() override;
    void TablesChanged() override;
    void ShowAnswerMark(MarkPlace place, const CommandAnswer* answer) override;
    PageHeld Held() const override;

    void btnCancelRangeClick();
    void btnApplayRangeClick();
    void btnClearRangeClick();
    void btnParamSetClick();
    void cbRegulRangeChange();
    void cbDistRangeChange();
    void chbSeparRangeClick();
    void cbRangePPChange();
    void cbRangeMPChange();
    void cbRangeBPChange();
    void ShowRangeNewMarkers();
    // Redraw from the stored words, on the screen at once.
    void RefreshRangeCharts();

private:
    void BuildRangeGroup();
    void BuildThresholdBoxes();
    void BuildSignalLabels();
    void BuildParamsGroup();
    void BuildCharts();
    void BuildAlarmGroup();
    void FillParams();
    void HidePreviewMarkers();
    void PlaceExtremes();
    // The rule's step on the latest words; what it shows waits for PresentFrame,
    // unless a crossing flag came or went, which shows at once.
    void Compute();
    void DrawRange(const RangeChart& c);
    bool Manual() const;
    // What each Apply would send from the fields now; a mark of what they
    // asked before goes when they change.
    PageCommands RangeCommands() const;
    PageCommands ParamCommands() const;
    void RangeFieldsChanged();
    void ParamFieldsChanged();

    RangeValues values_;
    RangeChart shown_;  // what the next presentation writes
    // The fills on the screen, white as the window is built.
    RangeFlagFills presentedFills_{colour::kWhite, colour::kWhite, colour::kWhite};
    QGroupBox* gbRange = nullptr;
    PageComboBox* cbRegulRange = nullptr;
    PageComboBox* cbDistRange = nullptr;
    QCheckBox* chbSeparRange = nullptr;
    PageComboBox* cbRangePP = nullptr;
    PageComboBox* cbRangeMP = nullptr;
    PageComboBox* cbRangeBP = nullptr;
    QPushButton* btnApplayRange = nullptr;
    QPushButton* btnCancelRange = nullptr;
    AnswerLabel* lRangeAnswer = nullptr;  // between btnApplayRange and btnCancelRange
    QPushButton* btnClearRange = nullptr;
    ValueLabel* lRangeSignalPlus = nullptr;
    ValueLabel* lRangeSignalMinus = nullptr;
    // The caption "Signal (+)", drawn over the upper chart's top edge.
    std::array<QLabel*, 2> overChart_{};
    QGroupBox* GroupBox11 = nullptr;
    PageComboBox* cbNewMinSpeed = nullptr;
    PageComboBox* cbNewMaxSpeed = nullptr;
    PageComboBox* cbNewLetter = nullptr;
    QComboBox* cbNewAddress = nullptr;
    QToolButton* btnParamSet = nullptr;
    AnswerLabel* lParamAnswer = nullptr;  // above btnParamSet
    BarChart* chRangePP = nullptr;
    BarChart* chRangeMPBP = nullptr;
    AlarmCounterGroup* gbTrv = nullptr;
};

}  // namespace quillane
