#pragma once

#include "console/pages/TuneUpView.h"
#include "ui/pages/ConsolePage.h"

namespace quillane {

class ValueLabel;

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
    void ModelChanged() override;
    void PresentFrame() override;
    void ClearKey() override;
    void FlushSiteRecord() override;
    PageHeld Held() const override;

    // Redraw from the stored signal word, on the screen at once.
    void RefreshTuneUpChart();
    void btnTuneUpClearClick();

    const TuneUpValues& Values() const { return values_; }

private:
    void BuildControls();
    // The rule's step on the latest word; what it shows waits for PresentFrame.
    void Compute();
    // The maximum the label shows goes into the site record, once.
    void RecordMaximum();

    TuneUpValues values_;
    TuneUpDisplay shown_;  // what the next presentation writes
    // What "Maximum:" shows and when that maximum was reached, and what of
    // it the record has.
    struct ShownMax {
        double milliVolts = 0, reachedDays = 0;
        bool operator==(const ShownMax& o) const {
            return milliVolts == o.milliVolts && reachedDays == o.reachedDays;
        }
    };
    ShownMax onScreen_, recorded_;
    ValueLabel* lSignal = nullptr;
    ValueLabel* lTuneUpMax = nullptr;
    BarChart* chTuneUp = nullptr;
};

}  // namespace quillane
