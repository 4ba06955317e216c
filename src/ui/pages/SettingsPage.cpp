#include "ui/pages/SettingsPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <iterator>

#include "console/ConsoleCore.h"
#include "console/pages/PageRule.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/MessageTexts.h"
#include "model/NumberFormat.h"
#include "model/Settings.h"
#include "os/Clock.h"
#include "ui/pages/AlarmCounterGroup.h"
#include "ui/pages/PageContext.h"
#include "ui/widgets/AnswerLabel.h"
#include "ui/widgets/BarChart.h"
#include "ui/widgets/ColourKit.h"
#include "ui/widgets/PageComboBox.h"
#include "ui/widgets/PageWidgets.h"
#include "ui/widgets/ParamSetGlyph.h"

namespace quillane {
namespace {

const QString kSerPPSignal = QStringLiteral("serPPSignal");
const QString kSerPP = QStringLiteral("serPP");
const QString kSerMax = QStringLiteral("serMax");
const QString kSerPPnew = QStringLiteral("serPPnew");
const QString kSerMPBPSignal = QStringLiteral("serMPBPSignal");
const QString kSerMP = QStringLiteral("serMP");
const QString kSerBP = QStringLiteral("serBP");
const QString kSerMin = QStringLiteral("serMin");
const QString kSerMPnew = QStringLiteral("serMPnew");
const QString kSerBPnew = QStringLiteral("serBPnew");

QLabel* BoldLabel(QWidget* parent, const QString& text, int left, int top, int width,
                  const QColor& colour = QColor()) {
    QLabel* label = AddLabel(parent, text, left, top, width, Qt::AlignRight);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    if (width < 0) label->adjustSize();
    if (colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
    return label;
}

QStringList ItemsOf(const std::vector<std::string>& texts) {
    QStringList items;
    for (const std::string& t : texts) items << QString::fromStdString(t);
    return items;
}

// A vertical bar from the foot of the plot to its top.
BarChart::Series Marker(const QString& title, double x, double width, const QColor& colour) {
    return BarChart::Series::Marker(title).At(x).Height(2).Width(width).Fill(colour);
}

BarChart::Series SignalBar(const QString& title) {
    return BarChart::Series::Bar(title)
        .Height(1)
        .Fill(ToQColor(colour::kWhite))
        .Outline(ToQColor(colour::kBlack));
}

// The "+" and "-" series of the charts: never shown, kept with their charts.
BarChart::Series Inactive(const QString& title, const QString& mark) {
    const QColor black = ToQColor(colour::kBlack);
    return BarChart::Series::Marker(title).At(200).Fill(black).Mark(mark, black).Inactive();
}

}  // namespace

SettingsPage::SettingsPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsRange", Page::Settings, context, parent) {
    BuildRangeGroup();
    BuildParamsGroup();
    BuildSignalLabels();
    BuildCharts();
    BuildAlarmGroup();
}

void SettingsPage::BuildRangeGroup() {
    gbRange = new QGroupBox(this);
    gbRange->setObjectName(QStringLiteral("gbRange"));
    gbRange->setGeometry(2, 2, 423, 92);
    AddLabel(gbRange, QStringLiteral("Setup method:"), 6, 15, 93, Qt::AlignRight);
    cbRegulRange = AddList(gbRange, "cbRegulRange", 100, 11, 113);
    cbRegulRange->addItems({QStringLiteral("Auto"), QStringLiteral("Manual")});
    connect(cbRegulRange, &QComboBox::activated, this, &SettingsPage::cbRegulRangeChange);

    AddLabel(gbRange, QStringLiteral("Zone length:"), 14, 39, 85, Qt::AlignRight);
    cbDistRange = AddList(gbRange, "cbDistRange", 100, 35, 49);
    cbDistRange->addItems(ZoneItems());
    cbDistRange->setMaxVisibleItems(24);
    cbDistRange->setCurrentIndex(kZoneItemCount - 1);
    connect(cbDistRange, &QComboBox::activated, this, &SettingsPage::cbDistRangeChange);
    AddLabel(gbRange, QStringLiteral("m"), 152, 38);

    chbSeparRange = new QCheckBox(QStringLiteral("Special split threshold alignment"), gbRange);
    chbSeparRange->setObjectName(QStringLiteral("chbSeparRange"));
    chbSeparRange->setGeometry(4, 61, 210, 17);
    chbSeparRange->setEnabled(false);
    // Also when the program sets the state, as Cancel does.
    connect(chbSeparRange, &QCheckBox::toggled, this, &SettingsPage::chbSeparRangeClick);

    BuildThresholdBoxes();
    btnApplayRange =
        AddButton(gbRange, "btnApplayRange", QStringLiteral("Applay <F4>"), 321, 14, 96, 25);
    btnCancelRange =
        AddButton(gbRange, "btnCancelRange", QStringLiteral("Cancel <Esc>"), 322, 57, 96, 25);
    connect(btnApplayRange, &QPushButton::clicked, this, &SettingsPage::btnApplayRangeClick);
    connect(btnCancelRange, &QPushButton::clicked, this, &SettingsPage::btnCancelRangeClick);
    lRangeAnswer = new AnswerLabel(gbRange, "lRangeAnswer", QRect(321, 40, 96, 16));
    QWidget* order[] = {cbRegulRange, cbDistRange, chbSeparRange,  cbRangePP,
                        cbRangeMP,    cbRangeBP,   btnApplayRange, btnCancelRange};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void SettingsPage::BuildThresholdBoxes() {
    // Sits on the group's frame like a second caption, over the three boxes.
    QLabel* heading = AddLabel(this, QStringLiteral("Thresholds"), 2 + 232, 2 - 2);
    heading->setAutoFillBackground(true);
    heading->raise();
    const struct {
        PageComboBox** box;
        const char* name;
        const char* label;
        QColor colour;
        int top, rows;
        void (SettingsPage::*change)();
    } boxes[] = {
        {&cbRangePP, "cbRangePP", "PL%:", ToQColor(colour::kRed), 13, 24,
         &SettingsPage::cbRangePPChange},
        {&cbRangeMP, "cbRangeMP", "LL%:", ToQColor(colour::kBlue), 37, 24,
         &SettingsPage::cbRangeMPChange},
        {&cbRangeBP, "cbRangeBP", "HL%:", ToQColor(colour::kGreen), 61, 23,
         &SettingsPage::cbRangeBPChange},
    };
    for (const auto& b : boxes) {
        BoldLabel(gbRange, QString::fromLatin1(b.label), 222, b.top + 4, 39, b.colour);
        PageComboBox* box = AddList(gbRange, b.name, 263, b.top, 49);
        box->setMaxVisibleItems(b.rows);
        box->setEnabled(false);
        connect(box, &QComboBox::activated, this, b.change);
        *b.box = box;
    }
}

void SettingsPage::BuildSignalLabels() {
    btnClearRange =
        AddButton(this, "btnClearRange", QStringLiteral("Reset maximum <F8>"), 424, 97, 141, 25);
    connect(btnClearRange, &QPushButton::clicked, this, &SettingsPage::btnClearRangeClick);
    const QString zero = QString::fromStdString(context_.format.Fixed(0, 1) + unit::kPercent);
    overChart_ = {AddLabel(this, QStringLiteral("Signal"), 28, 96),
                  BoldLabel(this, QStringLiteral("(+)"), 60, 96, -1)};
    lRangeSignalPlus = AddValueLabel(this, "lRangeSignalPlus", zero, 94, 96, 60);
    AddLabel(this, QStringLiteral("Signal"), 28, 258);
    BoldLabel(this, QStringLiteral("(-)"), 60, 258, -1);
    lRangeSignalMinus = AddValueLabel(this, "lRangeSignalMinus", zero, 88, 258, 60);
    for (ValueLabel* l : {lRangeSignalPlus, lRangeSignalMinus})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Kept with the page but never shown nor written: the charts' black
    // markers show the maximum and the minimum.
    const struct {
        const char *caption, *name;
        int top;
    } hidden[] = {{"max:", "lRangeSignalMax", 96}, {"min:", "lRangeSignalMin", 258}};
    for (const auto& h : hidden) {
        AddLabel(this, QString::fromLatin1(h.caption), 160, h.top)->hide();
        AddValueLabel(this, h.name, zero, 184, h.top, 40)->hide();
    }
}

void SettingsPage::BuildParamsGroup() {
    GroupBox11 = new QGroupBox(QStringLiteral("Parameters"), this);
    GroupBox11->setObjectName(QStringLiteral("GroupBox11"));
    GroupBox11->setGeometry(427, 2, 150, 92);
    // Where the style draws the group's frame under its title rather than
    // through it, the frame runs through these two captions: their letters
    // are drawn over it on the page's colour.
    for (FittedLabel* caption : {AddLabel(GroupBox11, QStringLiteral("Vmin:"), 7, 12),
                                 AddLabel(GroupBox11, QStringLiteral("Vmax:"), 55, 12)})
        caption->SetLetterBackground(true);
    cbNewMinSpeed = AddList(GroupBox11, "cbNewMinSpeed", 7, 26, 41);
    cbNewMaxSpeed = AddList(GroupBox11, "cbNewMaxSpeed", 55, 26, 42);
    for (unsigned i = 0; i < 4; ++i) {
        cbNewMinSpeed->addItem(QString::fromStdString(context_.format.Fixed(MinSpeedOf(i), 1)));
        cbNewMaxSpeed->addItem(QString::number(MaxSpeedOf(i)));
    }
    AddLabel(GroupBox11, QStringLiteral("Unit ID:"), 7, 49);
    cbNewLetter = AddList(GroupBox11, "cbNewLetter", 7, 63, 42);
    cbNewLetter->addItems({"F1", "F2", "F3", "F4"});
    for (PageComboBox* box : {cbNewMinSpeed, cbNewMaxSpeed, cbNewLetter})
        connect(box, &QComboBox::currentIndexChanged, this, &SettingsPage::ParamFieldsChanged);
    // Up to the Applay button, which would cover the rest.
    AddLabel(GroupBox11, QStringLiteral("Address:"), 56, 49, 98 - 56 - 1)->setEnabled(false);
    cbNewAddress = new QComboBox(GroupBox11);
    cbNewAddress->setObjectName(QStringLiteral("cbNewAddress"));
    cbNewAddress->setGeometry(56, 63, 40, 21);
    cbNewAddress->setEditable(true);
    for (int a = 1; a <= 99; ++a) cbNewAddress->addItem(QString::number(a));
    // Shows the reported address; the console cannot change it.
    cbNewAddress->setEnabled(false);

    btnParamSet = new QToolButton(GroupBox11);
    btnParamSet->setObjectName(QStringLiteral("btnParamSet"));
    btnParamSet->setGeometry(98, 25, 46, 57);
    btnParamSet->setText(QStringLiteral("Applay"));
    btnParamSet->setToolTip(QStringLiteral("Apply device settings"));
    btnParamSet->setIcon(ParamSetGlyph());
    btnParamSet->setIconSize(QSize(24, 24));
    btnParamSet->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btnParamSet->setFocusPolicy(Qt::StrongFocus);
    connect(btnParamSet, &QToolButton::clicked, this, &SettingsPage::btnParamSetClick);
    // On the title row, ending over the button: the only free room in the group.
    lParamAnswer =
        new AnswerLabel(GroupBox11, "lParamAnswer", QRect(68, 0, 78, 12), Qt::AlignRight);
}

void SettingsPage::BuildCharts() {
    chRangePP = AddChart(this, "chRangePP", 5, 109, 573, 73, context_.format);
    chRangeMPBP = AddChart(this, "chRangeMPBP", 4, 179, 573, 73, context_.format);
    for (BarChart* chart : {chRangePP, chRangeMPBP}) {
        chart->SetBottomAxis(kRangeLimit, 10);
        chart->SetLeftRange(0, 2);
    }
    const QColor white = ToQColor(colour::kWhite);
    const QColor black = ToQColor(colour::kBlack);
    const QColor red = ToQColor(colour::kRed);
    const QColor blue = ToQColor(colour::kBlue);
    const QColor green = ToQColor(colour::kGreen);
    const QColor teal = ToQColor(colour::kTeal);
    const QString pl = QStringLiteral("PL"), ll = QStringLiteral("LL"), hl = QStringLiteral("HL");
    for (const BarChart::Series& s : {
             SignalBar(kSerPPSignal),
             Marker(kSerPP, 0, 4, white).Outline(red).Mark(pl, red, true),
             Marker(kSerMax, 0, 2, black),
             Marker(kSerPPnew, -1, 2, ToQColor(colour::kLightRed)).Outline(white).Mark(pl, red),
             Inactive(QStringLiteral("serPlus"), QStringLiteral("+")),
         })
        chRangePP->AddSeries(s);
    for (const BarChart::Series& s : {
             SignalBar(kSerMPBPSignal),
             Marker(kSerMP, 0, 4, white).Outline(blue).Mark(ll, blue, true),
             Marker(kSerBP, 0, 4, white).Outline(green).Mark(hl, green, true),
             Marker(kSerMin, 0, 2, black),
             Marker(kSerMPnew, -1, 2, teal).Outline(white).Mark(ll, teal),
             // Lime letters alone hardly read on the mark's pale ground.
             Marker(kSerBPnew, -1, 2, ToQColor(colour::kLightGreen))
                 .Outline(white)
                 .Mark(hl, ToQColor(colour::kLime))
                 .MarkEdge(ToQColor(colour::kDarkGreen)),
             Inactive(QStringLiteral("serMinus"), QStringLiteral("-")),
         })
        chRangeMPBP->AddSeries(s);
    // Reset maximum stands over the top edge of the upper chart, where only
    // marks of thresholds above 60 % could go. The caption "Signal (+)"
    // touches it: in a face with a deeper descent (Tahoma under Wine) the
    // "g" reaches into that edge and is drawn over it, not cut by it.
    btnClearRange->raise();
    for (QWidget* caption : overChart_) caption->raise();
}

void SettingsPage::BuildAlarmGroup() {
    gbTrv = new AlarmCounterGroup({"chbSaveTrvRange", "lTrvRange", "lTrvNumberRange",
                                   "btnClearTrvRange", QRect(8, 16, 155, 17), QRect(172, 17, 0, 0),
                                   QRect(222, 17, 20, 13), QRect(242, 11, 97, 25)},
                                  this);
    gbTrv->setObjectName(QStringLiteral("gbTrv"));
    gbTrv->setGeometry(208, 252, 353, 45);
    gbTrv->SetRecorder([this](SiteRecord::Count change, long long count) {
        context_.siteRecord.Counting(Page::Settings, change, count);
        if (context_.alarmCounted) context_.alarmCounted(Page::Settings, change, count);
    });
    // Its controls read from right to left; the places stay as given.
    gbTrv->setLayoutDirection(Qt::RightToLeft);
}

bool SettingsPage::Manual() const { return cbRegulRange->currentIndex() != 0; }

// ---- page hooks ----

void SettingsPage::PageShow() {
    FillParams();
    if (context_.core.Linked()) btnCancelRangeClick();
    context_.setNote(note::kWalkTest);
    cbRegulRange->setFocus();
    RefreshRangeCharts();
}

void SettingsPage::FillParams() {
    const ParamLoad load = ParamLoadValues(context_.core.Model());
    cbNewLetter->setCurrentIndex(load.letterItem);
    cbNewMinSpeed->setCurrentIndex(load.minSpeedItem);
    cbNewMaxSpeed->setCurrentIndex(load.maxSpeedItem);
    cbNewAddress->setEditText(QString::fromStdString(load.address));
}

void SettingsPage::SignalWord() {
    Compute();
    if (shown_.fills != presentedFills_)
        PresentFrameNow();
    else
        RequestFrame();
}

void SettingsPage::SensitivityWords() { SignalWord(); }

PageHeld SettingsPage::Held() const {
    PageHeld held;
    held.range = values_;
    held.tally = AlarmTally{Page::Settings, gbTrv->Count(), gbTrv->On()};
    return held;
}

void SettingsPage::ModelChanged() { SignalWord(); }

void SettingsPage::DetectorState(const StateDisplay& state) {
    if (state.alarmEntered) gbTrv->AlarmEntered();
}

void SettingsPage::ApplayKey() { btnApplayRangeClick(); }

// A disabled button does not answer its key either.
void SettingsPage::ApplayParamsKey() {
    if (btnParamSet->isEnabled()) btnParamSetClick();
}

void SettingsPage::SaveTrvKey() { gbTrv->SaveTrvKey(); }

void SettingsPage::ClearTrvKey() { gbTrv->ClearTrvKey(); }

void SettingsPage::ClearKey() { btnClearRangeClick(); }

// The button says "Cancel <Esc>", so Esc cancels here as on the Setup page.
void SettingsPage::CancelKey() { btnCancelRangeClick(); }

void SettingsPage::SeparRangeKey() {
    if (!chbSeparRange->isEnabled()) return;
    chbSeparRange->setChecked(!chbSeparRange->isChecked());
    chbSeparRangeClick();
}

void SettingsPage::AccessOrLinkChanged(AccessLevel level, bool linked) {
    if (const std::optional<bool> enabled = ParamSetEnabledFor(level, linked))
        btnParamSet->setEnabled(*enabled);
}

void SettingsPage::AccessDialogClosed() { RefreshRangeCharts(); }

// The lists hold the threshold table's rows, item i for sensitivity index i,
// with nothing selected until the page next loads from the detector.
void SettingsPage::TablesChanged() {
    const CorrespondenceTables& t = context_.tables;
    const std::pair<PageComboBox*, const std::vector<std::string>*> lists[] = {
        {cbRangePP, &t.RangePPItems()},
        {cbRangeMP, &t.RangeMPItems()},
        {cbRangeBP, &t.RangeBPItems()}};
    for (const auto& [box, items] : lists) {
        box->clear();
        box->addItems(ItemsOf(*items));
        box->setCurrentIndex(-1);
    }
}

// ---- handlers ----

void SettingsPage::btnCancelRangeClick() {
    const RangeLoad load = RangeCancelValues(context_.core.Model());
    cbRegulRange->setCurrentIndex(load.autoMethod ? 0 : 1);
    // In Auto the split box keeps its state.
    if (load.split) chbSeparRange->setChecked(*load.split);
    cbDistRange->setCurrentIndex(load.distItem);
    cbRangePP->setCurrentIndex(load.ppItem);
    cbRangeMP->setCurrentIndex(load.mpItem);
    cbRangeBP->setCurrentIndex(load.bpItem);
    cbRegulRangeChange();
    HidePreviewMarkers();
    PlaceExtremes();
}

void SettingsPage::cbRegulRangeChange() {
    const RangeEnabled e = RangeControlsEnabled(Manual(), chbSeparRange->isChecked());
    cbDistRange->setEnabled(e.dist);
    chbSeparRange->setEnabled(e.separ);
    if (Manual()) {
        chbSeparRangeClick();
        chbSeparRange->setFocus();
        return;
    }
    for (PageComboBox* box : {cbRangePP, cbRangeMP, cbRangeBP}) box->setEnabled(false);
    cbDistRange->setFocus();
    cbDistRangeChange();
}

void SettingsPage::chbSeparRangeClick() {
    const RangeEnabled e = RangeControlsEnabled(true, chbSeparRange->isChecked());
    cbRangePP->setEnabled(e.pp);
    cbRangeMP->setEnabled(e.mp);
    cbRangeBP->setEnabled(e.bp);
    cbRangePPChange();
}

void SettingsPage::cbRangePPChange() {
    // Without split thresholds LL and HL follow PL.
    if (!chbSeparRange->isChecked()) {
        cbRangeMP->setCurrentIndex(cbRangePP->currentIndex());
        cbRangeBP->setCurrentIndex(cbRangePP->currentIndex());
    }
    ShowRangeNewMarkers();
}

void SettingsPage::cbRangeMPChange() { ShowRangeNewMarkers(); }

void SettingsPage::cbRangeBPChange() { ShowRangeNewMarkers(); }

void SettingsPage::cbDistRangeChange() {
    const int item = RangeItemForZoneItem(context_.tables, cbDistRange->currentIndex());
    for (PageComboBox* box : {cbRangePP, cbRangeMP, cbRangeBP}) box->setCurrentIndex(item);
    ShowRangeNewMarkers();
}

void SettingsPage::ShowRangeNewMarkers() {
    RangeFieldsChanged();
    const RangeLoad stored = RangeCancelValues(context_.core.Model());
    const struct {
        BarChart* chart;
        const QString& series;
        PageComboBox* box;
        int storedItem;
    } markers[] = {{chRangePP, kSerPPnew, cbRangePP, stored.ppItem},
                   {chRangeMPBP, kSerMPnew, cbRangeMP, stored.mpItem},
                   {chRangeMPBP, kSerBPnew, cbRangeBP, stored.bpItem}};
    for (const auto& m : markers)
        m.chart->SetX(m.series,
                      PreviewMarkerX(m.box->currentIndex(), static_cast<unsigned>(m.storedItem),
                                     m.box->currentText().toStdString(), context_.format));
}

void SettingsPage::HidePreviewMarkers() {
    chRangePP->SetX(kSerPPnew, -1);
    chRangeMPBP->SetX(kSerMPnew, -1);
    chRangeMPBP->SetX(kSerBPnew, -1);
}

void SettingsPage::PlaceExtremes() {
    chRangePP->SetX(kSerMax, values_.dblRangeMax);
    chRangeMPBP->SetX(kSerMin, -values_.dblRangeMin);
    // A presentation still waiting must not put back older ones.
    shown_.maxX.reset();
    shown_.minX.reset();
}

PageCommands SettingsPage::RangeCommands() const {
    const RangeChoice choice{!Manual(),
                             chbSeparRange->isChecked(),
                             cbDistRange->currentIndex(),
                             cbRangePP->currentIndex(),
                             cbRangeMP->currentIndex(),
                             cbRangeBP->currentIndex()};
    return RangeApplyCommands(context_.core.Model(), choice);
}

PageCommands SettingsPage::ParamCommands() const {
    return ParamSetCommands(context_.core.Model(), cbNewMinSpeed->currentIndex(),
                            cbNewMaxSpeed->currentIndex(), cbNewLetter->currentIndex());
}

void SettingsPage::RangeFieldsChanged() {
    context_.core.PageFieldsChanged(CommandSource::SettingsApply, RangeCommands());
}

void SettingsPage::ParamFieldsChanged() {
    context_.core.PageFieldsChanged(CommandSource::DeviceParameters, ParamCommands());
}

void SettingsPage::btnApplayRangeClick() {
    context_.core.QueuePageCommands(CommandSource::SettingsApply, RangeCommands());
    HidePreviewMarkers();
}

void SettingsPage::btnClearRangeClick() {
    ResetRangeMaximum(context_.core.Model(), values_);
    PlaceExtremes();
}

void SettingsPage::btnParamSetClick() {
    context_.core.QueuePageCommands(CommandSource::DeviceParameters, ParamCommands());
}

void SettingsPage::ShowAnswerMark(MarkPlace place, const CommandAnswer* answer) {
    AnswerLabel* label = place == MarkPlace::SettingsApply      ? lRangeAnswer
                         : place == MarkPlace::DeviceParameters ? lParamAnswer
                                                                : nullptr;
    if (label == nullptr) return;
    answer ? label->Show(*answer) : label->Clear();
}

void SettingsPage::RefreshRangeCharts() {
    Compute();
    PresentFrameNow();
}

void SettingsPage::Compute() {
    RangeChart c = RefreshRange(context_.core.Model(), context_.tables, values_,
                                context_.clock.MonotonicSeconds(), context_.refreshLimit,
                                context_.settings.iSelectFilter);
    // The fills follow every word; the rest only a redraw the limit let
    // through, which the model must follow at once.
    shown_.fills = c.fills;
    if (!c.redraw) return;
    if (c.heldSig) context_.core.OverwriteStoredSig(*c.heldSig);
    NoteDrawn();
    // The maximum and the minimum move only now and then; a presentation
    // skipped in between must not lose them.
    if (!c.maxX) c.maxX = shown_.maxX;
    if (!c.minX) c.minX = shown_.minX;
    shown_ = c;
}

void SettingsPage::PresentFrame() {
    chRangePP->SetColour(kSerPP, ToQColor(shown_.fills.pp));
    chRangeMPBP->SetColour(kSerMP, ToQColor(shown_.fills.mp));
    chRangeMPBP->SetColour(kSerBP, ToQColor(shown_.fills.bp));
    presentedFills_ = shown_.fills;
    if (!shown_.redraw) return;
    DrawRange(shown_);
    shown_.redraw = false;
    shown_.maxX.reset();
    shown_.minX.reset();
}

// The texts are made here, at most once a frame, not at every word.
void SettingsPage::DrawRange(const RangeChart& c) {
    const RangeSignalTexts texts = RangeSignalTextsOf(c.signal, context_.format);
    lRangeSignalPlus->setText(QString::fromStdString(texts.plus));
    lRangeSignalMinus->setText(QString::fromStdString(texts.minus));
    chRangePP->SetX(kSerPPSignal, c.ppSignal);
    chRangeMPBP->SetX(kSerMPBPSignal, c.mpbpSignal);
    if (c.maxX) chRangePP->SetX(kSerMax, *c.maxX);
    if (c.minX) chRangeMPBP->SetX(kSerMin, *c.minX);
    chRangePP->SetX(kSerPP, c.pp);
    chRangeMPBP->SetX(kSerMP, c.mp);
    chRangeMPBP->SetX(kSerBP, c.bp);
}

}  // namespace quillane
