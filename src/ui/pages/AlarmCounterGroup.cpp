#include "ui/pages/AlarmCounterGroup.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "console/pages/AlarmCount.h"
#include "model/NumberFormat.h"
#include "ui/widgets/FittedLabel.h"

namespace quillane {
namespace {

constexpr int kGap = 3;             // between the title, the count and the button
constexpr int kSmallestPixels = 8;  // as the grids and the other labels go

long long CountOf(const QLabel* label) {
    return NumberFormat::ParseInt(label->text().toStdString()).value_or(0);
}

QLabel* BoldLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new FittedLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setEnabled(false);
    return label;
}

}  // namespace

AlarmCounterGroup::AlarmCounterGroup(const Layout& layout, QWidget* parent) : QGroupBox(parent) {
    chbSaveTrv_ = new QCheckBox(QStringLiteral("Save alarms <F6>"), this);
    chbSaveTrv_->setObjectName(QString::fromLatin1(layout.saveName));
    chbSaveTrv_->setGeometry(layout.save);
    lTrv_ = BoldLabel(QStringLiteral("Alarms:"), layout.titleName, this);
    lTrv_->move(layout.title.topLeft());
    lTrv_->adjustSize();
    lTrvNumber_ = BoldLabel(QStringLiteral("0"), layout.countName, this);
    countBox_ = layout.count;
    btnClearTrv_ = new QPushButton(QStringLiteral("Reset <F7>"), this);
    btnClearTrv_->setObjectName(QString::fromLatin1(layout.clearName));
    btnClearTrv_->setGeometry(layout.clear);
    PlaceCount();
    btnClearTrv_->setEnabled(false);
    // The walk test's result leaves the console as a report; the key is the
    // window's, and the report goes where the settings file is.
    setToolTip(QStringLiteral("Ctrl+P: the commissioning report (PDF) of the walk test,\n"
                              "written into %1")
                   .arg(QDir::toNativeSeparators(QDir::currentPath())));
    connect(chbSaveTrv_, &QCheckBox::toggled, this, &AlarmCounterGroup::chbSaveTrvClick);
    connect(btnClearTrv_, &QPushButton::clicked, this, &AlarmCounterGroup::btnClearTrvClick);
}

void AlarmCounterGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) PlaceCount();
}

void AlarmCounterGroup::ShowCount(const QString& count) {
    lTrvNumber_->setText(count);
    PlaceCount();
}

// "Alarms:" and a count of four digits are wider than their designed places
// in most faces. Both share the room from the title's place to the Reset
// button, in a smaller size of the bold face where they would not fit it, the
// count right after its title.
void AlarmCounterGroup::PlaceCount() {
    const QString sample = lTrvNumber_->text();
    const int left = lTrv_->x();
    const int room = btnClearTrv_->x() - kGap - left;
    QFont bold = font();
    bold.setBold(true);
    for (int pixels = QFontInfo(bold).pixelSize(); pixels > kSmallestPixels; --pixels) {
        const QFontMetrics m(bold);
        if (m.horizontalAdvance(lTrv_->text()) + kGap + m.horizontalAdvance(sample) <= room) break;
        bold.setPixelSize(pixels - 1);
    }
    for (QLabel* label : {lTrv_, lTrvNumber_}) label->setFont(bold);
    lTrv_->adjustSize();
    const int countLeft = lTrv_->geometry().right() + 1 + kGap;
    lTrvNumber_->setGeometry(countLeft, countBox_.top(), left + room - countLeft,
                             countBox_.height());
}

void AlarmCounterGroup::chbSaveTrvClick() {
    const bool counting = chbSaveTrv_->isChecked();
    if (recorder_ && counting != recordedCounting_)
        recorder_(counting ? SiteRecord::Count::On : SiteRecord::Count::Off,
                  counting ? 0 : CountOf(lTrvNumber_));
    recordedCounting_ = counting;
    lTrv_->setEnabled(counting);
    lTrvNumber_->setEnabled(counting);
    btnClearTrv_->setEnabled(counting);
    if (!counting) ShowCount(QStringLiteral("0"));
}

void AlarmCounterGroup::btnClearTrvClick() {
    if (recorder_) recorder_(SiteRecord::Count::Reset, CountOf(lTrvNumber_));
    ShowCount(QStringLiteral("0"));
}

void AlarmCounterGroup::SaveTrvKey() {
    // Changing the state runs the click handler already; running it once more
    // comes to the same.
    chbSaveTrv_->setChecked(!chbSaveTrv_->isChecked());
    chbSaveTrvClick();
}

void AlarmCounterGroup::ClearTrvKey() {
    if (btnClearTrv_->isEnabled()) btnClearTrvClick();
}

long long AlarmCounterGroup::Count() const { return CountOf(lTrvNumber_); }

bool AlarmCounterGroup::On() const { return chbSaveTrv_->isChecked(); }

void AlarmCounterGroup::AlarmEntered() {
    if (!chbSaveTrv_->isChecked()) return;
    ShowCount(QString::fromStdString(NextAlarmCount(lTrvNumber_->text().toStdString())));
    if (recorder_) recorder_(SiteRecord::Count::Alarm, CountOf(lTrvNumber_));
}

}  // namespace quillane
