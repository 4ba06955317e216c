#pragma once

#include "protocol/TuneUpView.h"
#include "ui/ConsolePage.h"

class QLabel;

namespace quillane {

class BarChart;

// The Calibration page (tsTuneUp): while it is in view the detector runs in
// calibration mode, and the installer aims it against the live signal bar and
// the largest signal seen.
class CalibrationPage : public ConsolePage {
    Q_OBJECT

public:
    explicit CalibrationPage(PageContext& context, QWidget* parent = nullptr);

    void PageShow() override;  // tsTuneUpShow
    void PageHide() override;  // tsTuneUpHide
    void SignalWord() override;
    void ClearKey() override;

    // Redraw from the stored signal word.
    void RefreshTuneUpChart();
    void btnTuneUpClearClick();

    const TuneUpValues& Values() const { return values_; }

private:
    void BuildControls();
    bool DetectorCalibrating() const;

    TuneUpValues values_;
    QLabel* lSignal = nullptr;
    QLabel* lTuneUpMax = nullptr;
    BarChart* chTuneUp = nullptr;
};

}  // namespace quillane
