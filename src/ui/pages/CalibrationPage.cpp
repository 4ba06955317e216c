#include "ui/pages/CalibrationPage.h"

#include <QPushButton>

#include "console/ConsoleCore.h"
#include "console/record/SiteRecord.h"
#include "model/MessageTexts.h"
#include "model/NumberFormat.h"
#include "os/Clock.h"
#include "ui/pages/PageContext.h"
#include "ui/widgets/BarChart.h"
#include "ui/widgets/ColourKit.h"
#include "ui/widgets/PageWidgets.h"

namespace quillane {
namespace {

const QString kSignal = QStringLiteral("serTuneUp");
const QString kMax = QStringLiteral("serMax");

}  // namespace

CalibrationPage::CalibrationPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsTuneUp", Page::Calibration, context, parent) {
    BuildControls();
}

void CalibrationPage::BuildControls() {
    const QString widest = WidestMilliVolts(context_.format);
    AddLabel(this, QStringLiteral("Signal:"), 16, 32, 64, Qt::AlignRight);
    ValueLabel* signal = AddValueLabel(this, "lSignal", QStringLiteral("0"), 88, 32, 49);
    AddLabel(this, QStringLiteral("mV"), 139, 32);
    AddLabel(this, QStringLiteral("Maximum:"), 200, 32, 64, Qt::AlignRight);
    ValueLabel* max = AddValueLabel(this, "lTuneUpMax", QStringLiteral("0"), 272, 32, 40);
    AddLabel(this, QStringLiteral("mV"), 315, 32);
    for (ValueLabel* value : {signal, max}) value->SetWidestText(widest);
    lSignal = signal;
    lTuneUpMax = max;
    QPushButton* clear =
        AddButton(this, "btnTuneUpClear", QStringLiteral("Reset maximum <F8>"), 400, 24, 145, 25);
    connect(clear, &QPushButton::clicked, this, &CalibrationPage::btnTuneUpClearClick);

    chTuneUp = AddChart(this, "chTuneUp", 0, 64, 577, 217, context_.format);
    chTuneUp->SetAxisTitle(QStringLiteral("mV"));
    chTuneUp->SetBottomAxis(0.5, 0.1);
    chTuneUp->SetLeftRange(0, 1);
    chTuneUp->AddSeries(BarChart::Series::Bar(kSignal).Fill(ToQColor(colour::kLime)));
    chTuneUp->AddSeries(BarChart::Series::Marker(kMax).Height(1).Fill(ToQColor(colour::kBlack)));
}

void CalibrationPage::PageShow() {
    context_.setNote(note::kAdjust);
    context_.showAver("---");
    values_ = TuneUpValues{};
    onScreen_ = recorded_ = ShownMax{};
    RefreshTuneUpChart();
}

void CalibrationPage::PageHide() { RecordMaximum(); }

void CalibrationPage::FlushSiteRecord() { RecordMaximum(); }

void CalibrationPage::RecordMaximum() {
    if (onScreen_.milliVolts <= 0 || onScreen_ == recorded_) return;
    recorded_ = onScreen_;
    context_.siteRecord.CalibrationMaximum(recorded_.milliVolts, recorded_.reachedDays);
}

PageHeld CalibrationPage::Held() const {
    PageHeld held;
    held.tuneUp = values_;
    return held;
}

void CalibrationPage::SignalWord() {
    Compute();
    RequestFrame();
}

void CalibrationPage::ModelChanged() { SignalWord(); }

void CalibrationPage::ClearKey() { btnTuneUpClearClick(); }

void CalibrationPage::btnTuneUpClearClick() {
    // The maximum reached before aiming again.
    RecordMaximum();
    const TuneUpDisplay reset = ResetTuneUpMax(values_, context_.clock.LocalDays());
    shown_.maxShown = reset.maxShown;
    shown_.axis = reset.axis;
    chTuneUp->SetX(kSignal, values_.dblTuneUpSignal);
    chTuneUp->SetX(kMax, values_.dblTuneUpMax);
    chTuneUp->SetColour(kSignal, ToQColor(colour::kLime));
    RefreshTuneUpChart();
}

void CalibrationPage::RefreshTuneUpChart() {
    Compute();
    PresentFrameNow();
}

void CalibrationPage::Compute() {
    const TuneUpDisplay d =
        RefreshTuneUp(context_.core.Model(), values_, context_.clock.LocalDays());
    // The maximum and the axis change only now and then; a presentation
    // skipped in between must not lose them.
    shown_.maxShown = shown_.maxShown || d.maxShown;
    if (d.axis) shown_.axis = d.axis;
    shown_.barLime = d.barLime;
    NoteDrawn();
}

// The texts are made here, from the values of the last word, not at every
// word: up to 240 signal words a second come for at most 60 frames.
void CalibrationPage::PresentFrame() {
    const NumberFormat& f = context_.format;
    if (shown_.maxShown) {
        lTuneUpMax->setText(QString::fromStdString(TuneUpText(values_.dblTuneUpMax, f)));
        // Each maximum shown is the maximum now in values_: the maximum only
        // grows between the resets, which present at once.
        onScreen_ = ShownMax{values_.dblTuneUpMax, values_.maxReachedDays};
    }
    if (shown_.axis) chTuneUp->SetBottomAxis(shown_.axis->maximum, shown_.axis->tickStep);
    shown_.maxShown = false;
    shown_.axis.reset();
    lSignal->setText(QString::fromStdString(TuneUpText(values_.dblTuneUpSignal, f)));
    chTuneUp->SetX(kSignal, values_.dblTuneUpSignal);
    chTuneUp->SetX(kMax, values_.dblTuneUpMax);
    chTuneUp->SetColour(kSignal, ToQColor(shown_.barLime ? colour::kLime : colour::kRed));
}

}  // namespace quillane
