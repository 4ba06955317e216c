#include "ui/window/InfoPanel.h"

#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QToolTip>
#include <optional>

#include "ui/widgets/AnswerLabel.h"
#include "ui/widgets/ColourKit.h"
#include "ui/window/PortComboBox.h"

namespace quillane {
namespace {

constexpr int kCaptionLeft = 4;
constexpr int kCaptionWidth = 100;
constexpr int kValueLeft = 104;
constexpr int kValueWidth = 80;
constexpr int kLabelHeight = 13;
constexpr int kStateHeight = 15;

const QString kDashes = QStringLiteral("---");

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

InfoPanel::InfoPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("gbInfo"));
    // One row per reported value: caption on the left, value on the right.
    struct Row {
        int top;
        const char* caption;
        const char* captionName;
        QLabel* InfoPanel::*captionKept;  // a caption the panel changes later
        QLabel* InfoPanel::*value;
        const char* valueName;
        int height;
    };
    static const Row kRows[] = {
        {24, "Detector:", "lModelCaption", nullptr, &InfoPanel::lModel, "lModel", kLabelHeight},
        {40, "Version:", "lProgCaption", nullptr, &InfoPanel::lProg, "lProg", kLabelHeight},
        {56, "Unit ID:", "lLetterCaption", nullptr, &InfoPanel::lLetter, "lLetter", kLabelHeight},
        {72, "Address:", "lAddressLabel", &InfoPanel::lAddressLabel, &InfoPanel::lAddress,
         "lAddress", kLabelHeight},
        {104, "Mode:", "lStateCaption", &InfoPanel::lStateCaption, &InfoPanel::lState, "lState",
         kStateHeight},
        {144, "Zone length:", "lDistCaption", nullptr, &InfoPanel::lDist, "lDist", kLabelHeight},
        {160, "Signal level:", "lAverCaption", nullptr, &InfoPanel::lAver, "lAver", kLabelHeight},
        {176, "Sensitivity:", "lSensCaption", nullptr, &InfoPanel::lSens, "lSens", kLabelHeight},
        {192, "Setup method:", "lRegulCaption", nullptr, &InfoPanel::lRegul, "lRegul",
         kLabelHeight},
        {208, "Speed:", "lSpeedCaption", nullptr, &InfoPanel::lSpeed, "lSpeed", kLabelHeight},
        {240, "Power:", "lPowerCaption", nullptr, &InfoPanel::lPower, "lPower", kLabelHeight},
    };
    for (const Row& row : kRows) {
        QLabel* caption = AddCaption(row.top, row.caption, row.captionName);
        if (row.captionKept) this->*row.captionKept = caption;
        this->*row.value = AddValue(row.top, row.valueName, row.height);
    }
    // The address row is only for the model that reports one.
    lAddressLabel->hide();
    // In the free row between the mode and the values commands change.
    lStateAnswer =
        new AnswerLabel(this, "lStateAnswer", QRect(kValueLeft, 124, kValueWidth, kLabelHeight));
    AddCaption(278, "<F4> Connection:", "lComPortCaption");
    // The phone view's key, named where the installer reads the console's
    // state, with whether the view is shared.
    QLabel* remoteCaption = AddCaption(304, "<F12> Phone view:", "lRemoteViewCaption");
    lRemoteView = AddValue(304, "lRemoteView");
    const QString remoteTip = QStringLiteral(
        "F12: show this console live on a phone on the same network (read-only),\n"
        "with an aiming tone and a beep for each alarm counted.");
    for (QLabel* label : {remoteCaption, lRemoteView}) label->setToolTip(remoteTip);

    for (QLabel* label : {lStateCaption, lState}) label->installEventFilter(this);

    cbComPort = new PortComboBox(this);
    cbComPort->setObjectName(QStringLiteral("cbComPort"));
    cbComPort->setGeometry(120, 276, 65, 21);
    cbComPort->setFocusPolicy(Qt::StrongFocus);
}

QLabel* InfoPanel::AddCaption(int top, const char* text, const char* name) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kCaptionLeft, top, kCaptionWidth, kLabelHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* InfoPanel::AddValue(int top, const char* name, int height) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kValueLeft, top, kValueWidth, height);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return label;
}

namespace {

// Whether the palette gives a role this colour in every group.
bool Holds(const QPalette& p, QPalette::ColorRole role, const QColor& colour) {
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        if (p.color(group, role) != colour) return false;
    return true;
}

}  // namespace

void InfoPanel::SetColours(QLabel* label, const Colour* background, const Colour& text) {
    const QColor textColour = ToQColor(text, palette());
    std::optional<QColor> fillColour;
    if (background) {
        fillColour = ToQColor(*background, palette());
        // Button face is the panel's own colour; some styles shade the group
        // box's face, so the label then lets the panel show through.
        const bool fill = background->role != Colour::ButtonFace;
        if (label->autoFillBackground() != fill) label->setAutoFillBackground(fill);
    }
    // Every code-5 word sets the same colours again; a palette set anew
    // repaints the label even when nothing changed, and even a copy to
    // compare costs more than looking.
    const QPalette& now = label->palette();
    if (Holds(now, QPalette::WindowText, textColour) &&
        (!fillColour || Holds(now, QPalette::Window, *fillColour)))
        return;
    QPalette p = now;
    if (fillColour) p.setColor(QPalette::Window, *fillColour);
    p.setColor(QPalette::WindowText, textColour);
    label->setPalette(p);
}

void InfoPanel::ShowReset() {
    for (QLabel* l : {lModel, lProg, lLetter, lDist, lAver, lSens, lRegul, lSpeed, lPower})
        l->setText(kDashes);
    lAddress->clear();
    lState->clear();
    lStateAnswer->Clear();
    SetColours(lState, &colour::kButtonFace, colour::kWindowText);
}

void InfoPanel::ShowIdentity(const IdentityDisplay& d) {
    lModel->setText(Text(d.model));
    lProg->setText(Text(d.prog));
    lLetter->setText(Text(d.letter));
    // Only the model with a bus address reports one worth showing.
    lAddressLabel->setVisible(d.addressShown);
    lAddress->setText(d.addressShown ? Text(d.address) : QString());
}

void InfoPanel::ShowPower(const std::string& power) { lPower->setText(Text(power)); }

void InfoPanel::ShowZone(const ZoneDisplay& d) {
    lRegul->setText(Text(d.regul));
    lSens->setText(Text(d.sens));
    lDist->setText(Text(d.dist));
}

void InfoPanel::ShowSpeed(const std::string& speed) {
    lSpeed->setText(Text(speed));
    SetColours(lAver, nullptr, colour::kWindowText);
    SetColours(lPower, nullptr, colour::kWindowText);
}

void InfoPanel::ShowAver(const std::string& aver) { lAver->setText(Text(aver)); }

void InfoPanel::ShowState(const StateDisplay& d) {
    lAver->setText(Text(d.aver));
    lState->setText(Text(d.state));
    SetColours(lState, &d.background, d.text);
}

bool InfoPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && (watched == lStateCaption || watched == lState))
        emit LinkHealthWanted();
    return QGroupBox::eventFilter(watched, event);
}

void InfoPanel::ShowAnswer(const CommandAnswer& answer) { lStateAnswer->Show(answer); }

void InfoPanel::ShowRemoteView(const QString& state) {
    if (lRemoteView->text() != state) lRemoteView->setText(state);
}

void InfoPanel::ClearAnswer() { lStateAnswer->Clear(); }

void InfoPanel::ShowLinkHealth(const std::string& text) {
    const QString tip = Text(text);
    for (QLabel* label : {lStateCaption, lState}) {
        label->setToolTip(tip);
        // A tooltip being read follows the figures instead of standing still.
        if (QToolTip::isVisible() && label->underMouse())
            QToolTip::showText(QCursor::pos(), tip, label);
    }
}

}  // namespace quillane
