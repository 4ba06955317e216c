#include "ui/pages/AlarmCounterGroup.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "console/AlarmCount.h"
#include "model/NumberFormat.h"

namespace quillane {
namespace {

long long CountOf(const QLabel* label) {
    return NumberFormat::ParseInt(label->text().toStdString()).value_or(0);
}

QLabel* BoldLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
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
    lTrvNumber_->setGeometry(layout.count);
    btnClearTrv_ = new QPushButton(QStringLiteral("Reset <F7>"), this);
    btnClearTrv_->setObjectName(QString::fromLatin1(layout.clearName));
    btnClearTrv_->setGeometry(layout.clear);
    btnClearTrv_->setEnabled(false);
    // The walk test's result leaves the console as a report; the key is the
    // window's, and the report goes where the settings file is.
    setToolTip(QStringLiteral("Ctrl+P: the commissioning report (PDF) of the walk test,\n"
                              "written into %1")
                   .arg(QDir::toNativeSeparators(QDir::currentPath())));
    connect(chbSaveTrv_, &QCheckBox::toggled, this, &AlarmCounterGroup::chbSaveTrvClick);
    connect(btnClearTrv_, &QPushButton::clicked, this, &AlarmCounterGroup::btnClearTrvClick);
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
    if (!counting) lTrvNumber_->setText(QStringLiteral("0"));
}

void AlarmCounterGroup::btnClearTrvClick() {
    if (recorder_) recorder_(SiteRecord::Count::Reset, CountOf(lTrvNumber_));
    lTrvNumber_->setText(QStringLiteral("0"));
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

void AlarmCounterGroup::AlarmEntered() {
    if (!chbSaveTrv_->isChecked()) return;
    lTrvNumber_->setText(QString::fromStdString(NextAlarmCount(lTrvNumber_->text().toStdString())));
    if (recorder_) recorder_(SiteRecord::Count::Alarm, CountOf(lTrvNumber_));
}

}  // namespace quillane
