#include "ui/pages/SetupPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "console/ConsoleCore.h"
#include "console/pages/SenseView.h"
#include "console/pages/StatusDisplay.h"
#include "model/MessageTexts.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorStates.h"
#include "protocol/FrameCodec.h"
#include "ui/pages/AlarmCounterGroup.h"
#include "ui/pages/PageContext.h"
#include "ui/widgets/AnswerLabel.h"
#include "ui/widgets/BarChart.h"
#include "ui/widgets/ColourKit.h"
#include "ui/widgets/PageComboBox.h"
#include "ui/widgets/PageWidgets.h"

namespace quillane {
namespace {

using detector::kRegulSpecial;

const QString kAuto = QStringLiteral("Auto");
const QString kManual = QStringLiteral("Manual");
const QString kSpecial = QStringLiteral("Special");

}  // namespace

SetupPage::SetupPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsSense", Page::Setup, context, parent) {
    BuildGroup();
    BuildChart();
    trv_ = new AlarmCounterGroup({"chbSaveTrvSense", "lTrvSense", "lTrvNumberSense",
                                  "btnClearTrvSense", QRect(8, 16, 161, 17), QRect(192, 18, 0, 0),
                                  QRect(240, 18, 33, 13), QRect(280, 12, 97, 25)},
                                 this);
    trv_->setGeometry(91, 252, 390, 45);
    trv_->SetRecorder([this](SiteRecord::Count change, long long count) {
        context_.siteRecord.Counting(Page::Setup, change, count);
        if (context_.alarmCounted) context_.alarmCounted(Page::Setup, change, count);
    });
}

void SetupPage::BuildGroup() {
    group_ = new QGroupBox(this);
    group_->setGeometry(10, 6, 555, 93);
    AddLabel(group_, QStringLiteral("Setup method:"), 18, 18, 93, Qt::AlignRight);
    cbRegulSense = AddList(group_, "cbRegulSense", 112, 14, 113);
    cbRegulSense->addItems({kAuto, kManual});
    cbRegulSense->setCurrentIndex(-1);
    cbRegulSense->SetDropDownHandler([this] { cbRegulSenseDropDown(); });
    // The keyboard cannot take the detector out of its special presets.
    cbRegulSense->SetKeyFilter([this] { return SpecialPresets(); });
    connect(cbRegulSense, &QComboBox::activated, this, &SetupPage::cbRegulSenseChange);

    AddLabel(group_, QStringLiteral("Zone length:"), 26, 42, 85, Qt::AlignRight);
    cbDistSense = AddList(group_, "cbDistSense", 112, 38, 49);
    cbDistSense->addItems(ZoneItems());
    cbDistSense->setMaxVisibleItems(24);
    cbDistSense->setCurrentIndex(29);
    connect(cbDistSense, &QComboBox::activated, this, &SetupPage::cbDistSenseChange);
    AddLabel(group_, QStringLiteral("m"), 164, 41);

    AddLabel(group_, QStringLiteral("Sensitivity:"), 11, 66, 100, Qt::AlignRight);
    speSense = new QSpinBox(group_);
    speSense->setObjectName(QStringLiteral("speSense"));
    speSense->setGeometry(112, 62, 41, 22);
    speSense->setRange(kSenseMinPercent, kSenseMaxPercent);
    speSense->setSingleStep(2);
    speSense->setValue(50);
    // Arrows only: a typed value could be odd or half-way.
    speSense->findChild<QLineEdit*>()->setReadOnly(true);
    connect(speSense, &QSpinBox::valueChanged, this, &SetupPage::speSenseChange);
    AddLabel(group_, QStringLiteral("%"), 155, 66);

    btnApplaySense =
        AddButton(group_, "btnApplaySense", QStringLiteral("Applay <F4>"), 264, 38, 97, 25);
    btnCancelSense =
        AddButton(group_, "btnCancelSense", QStringLiteral("Cancel <Esc>"), 416, 38, 97, 25);
    connect(btnApplaySense, &QPushButton::clicked, this, &SetupPage::btnApplaySenseClick);
    connect(btnCancelSense, &QPushButton::clicked, this, &SetupPage::btnCancelSenseClick);
    lSenseAnswer = new AnswerLabel(group_, "lSenseAnswer", QRect(264, 66, 97, 16));
    setTabOrder(cbRegulSense, cbDistSense);
    setTabOrder(cbDistSense, speSense);
    setTabOrder(speSense, btnApplaySense);
    setTabOrder(btnApplaySense, btnCancelSense);
}

void SetupPage::BuildChart() {
    AddLabel(this, QStringLiteral("Signal:"), 16, 104, 64, Qt::AlignRight);
    ValueLabel* signal = AddValueLabel(this, "lSenseSignal", QStringLiteral("0"), 88, 104, 40);
    signal->SetWidestText(WidestMilliVolts(context_.format));
    lSenseSignal = signal;
    AddLabel(this, QStringLiteral("mV"), 131, 104);
    chSense = AddChart(this, "chSense", 0, 120, 577, 145, context_.format);
    chSense->SetAxisTitle(QStringLiteral("mV"));
    // The alarm counter group covers the middle of the chart's foot.
    chSense->SetAxisTitleAlignment(Qt::AlignRight);
    chSense->SetBottomAxis(2, 0.2);
    chSense->SetLeftRange(0, 2);
    using S = BarChart::Series;
    const QColor white = ToQColor(colour::kWhite);
    const QColor black = ToQColor(colour::kBlack);
    const QColor blue = ToQColor(colour::kBlue);
    const QColor teal = ToQColor(colour::kTeal);
    const QColor grey = ToQColor(colour::kGrey);
    const BarChart::Series series[] = {
        S::Bar(QStringLiteral("serMPBPSignal")).At(100).Height(1).Fill(white).Outline(black),
        S::Marker(QStringLiteral("serSense"))
            .At(100)
            .Height(2)
            .Width(4)
            .Fill(blue)
            .Mark(QStringLiteral("Threshold"), blue)
            .Inactive(),
        S::Marker(QStringLiteral("serSenseNew"))
            .At(-1)
            .Height(2)
            .Width(2)
            .Fill(teal)
            .Mark(QStringLiteral("LL"), teal)
            .Inactive(),
        S::Marker(QStringLiteral("serNewMin")).Height(2).Fill(grey),
        S::Marker(QStringLiteral("serNewMax")).Height(2).Fill(grey),
        S::Marker(QStringLiteral("serMin")).Height(2).Fill(black),
        S::Marker(QStringLiteral("serMax")).Height(2).Fill(black),
    };
    for (const BarChart::Series& s : series) chSense->AddSeries(s);
}

bool SetupPage::SpecialShown() const { return cbRegulSense->currentText() == kSpecial; }

bool SetupPage::SpecialPresets() const {
    return frame::Regul(context_.core.Model().Word(status::kZoneWord)) == kRegulSpecial &&
           SpecialShown();
}

void SetupPage::SetSense(int percent) {
    // Held in 38-100 %; speSenseChange follows only a change of the shown value.
    speSense->setValue(ClampSensePercent(percent));
}

// ---- page hooks ----

void SetupPage::PageShow() {
    if (context_.core.Linked()) btnCancelSenseClick();
    context_.setNote(note::kWalkTest);
    cbRegulSense->setFocus();
    RefreshSenseChart();
}

void SetupPage::SignalWord() {
    Compute();
    RequestFrame();
}

void SetupPage::SensitivityWords() {
    Compute();
    RequestFrame();
}

PageHeld SetupPage::Held() const {
    PageHeld held;
    held.senseSignal = signalShown_;
    held.tally = AlarmTally{Page::Setup, trv_->Count(), trv_->On()};
    return held;
}

void SetupPage::ModelChanged() { SensitivityWords(); }

void SetupPage::DetectorState(const StateDisplay& state) {
    if (state.alarmEntered) trv_->AlarmEntered();
}

// A disabled button does not answer its key either: in special presets F4
// must not send what the page cannot show.
void SetupPage::ApplayKey() {
    if (btnApplaySense->isEnabled()) btnApplaySenseClick();
}

void SetupPage::CancelKey() {
    if (btnCancelSense->isEnabled()) btnCancelSenseClick();
}

void SetupPage::SaveTrvKey() { trv_->SaveTrvKey(); }

void SetupPage::ClearTrvKey() { trv_->ClearTrvKey(); }

// ---- handlers ----

void SetupPage::btnCancelSenseClick() {
    const SenseLoad load = SenseCancelValues(context_.core.Model());
    if (load.special) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{cbDistSense, speSense, btnApplaySense, btnCancelSense})
            w->setEnabled(false);
        cbRegulSense->clear();
        cbRegulSense->addItems({kAuto, kManual, kSpecial});
        cbRegulSense->setCurrentIndex(2);
        return;
    }
    cbRegulSense->setCurrentIndex(load.regulItem);
    LoadZoneAndSense();
    cbRegulSenseChange();
}

void SetupPage::LoadZoneAndSense() {
    const SenseLoad load = SenseCancelValues(context_.core.Model());
    cbDistSense->setCurrentIndex(load.distItem);
    SetSense(load.sensePercent);
}

void SetupPage::cbRegulSenseChange() {
    FieldsChanged();
    if (cbRegulSense->currentIndex() != 0) {
        speSense->setEnabled(true);
        speSense->setFocus();
        cbDistSense->setEnabled(false);
        cbDistSense->SetStandInText(QStringLiteral("---"));
        return;
    }
    speSense->setEnabled(false);
    cbDistSense->setEnabled(true);
    cbDistSense->SetStandInText(QString());
    cbDistSenseChange();
    cbDistSense->setFocus();
}

void SetupPage::cbDistSenseChange() {
    FieldsChanged();
    SetSense(SensePercentForZoneItem(context_.tables, cbDistSense->currentIndex()));
}

void SetupPage::speSenseChange() {
    FieldsChanged();
    RefreshSenseChart();
}

PageCommands SetupPage::FieldCommands() const {
    return SenseApplyCommands(context_.core.Model(), speSense->value(),
                              cbRegulSense->currentIndex() == 0, cbDistSense->currentIndex());
}

void SetupPage::FieldsChanged() {
    context_.core.PageFieldsChanged(CommandSource::SetupApply, FieldCommands());
}

void SetupPage::cbRegulSenseDropDown() {
    if (!SpecialPresets()) return;
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Warning"),
        QStringLiteral("The detector has specific operating presets.\nDo you want to change them?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    {
        const QSignalBlocker quiet(cbRegulSense);
        cbRegulSense->clear();
        cbRegulSense->addItems({kAuto, kManual});
        cbRegulSense->setCurrentIndex(0);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbDistSense, speSense, btnApplaySense, btnCancelSense})
        w->setEnabled(true);
    LoadZoneAndSense();
    cbRegulSenseChange();
}

void SetupPage::btnApplaySenseClick() {
    context_.core.QueuePageCommands(CommandSource::SetupApply, FieldCommands());
}

void SetupPage::ShowAnswerMark(MarkPlace place, const CommandAnswer* answer) {
    if (place != MarkPlace::SetupApply) return;
    answer ? lSenseAnswer->Show(*answer) : lSenseAnswer->Clear();
}

void SetupPage::RefreshSenseChart() {
    Compute();
    PresentFrameNow();
}

void SetupPage::Compute() {
    SenseChart c =
        SenseChartValues(context_.core.Model(), context_.tables, speSense->value(), SpecialShown());
    // Outside Normal the signal freezes at what was last computed, shown or not.
    if (!c.signal) c.signal = shown_.signal;
    if (c.signal) signalShown_ = c.signal;
    shown_ = c;
    NoteDrawn();
}

void SetupPage::PresentFrame() {
    if (shown_.signal) {
        lSenseSignal->setText(QString::fromStdString(context_.format.Fixed(*shown_.signal, 3)));
        chSense->SetX(QStringLiteral("serMPBPSignal"), *shown_.signal);
        shown_.signal.reset();
    }
    chSense->SetX(QStringLiteral("serMin"), shown_.lower);
    chSense->SetX(QStringLiteral("serMax"), shown_.upper);
    chSense->SetX(QStringLiteral("serNewMin"), shown_.newLower);
    chSense->SetX(QStringLiteral("serNewMax"), shown_.newUpper);
    chSense->SetBottomAxis(shown_.axis.maximum, shown_.axis.tickStep);
}

}  // namespace quillane
