#include "ui/widgets/PageComboBox.h"

#include <QKeyEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace quillane {

PageComboBox::PageComboBox(QWidget* parent) : QComboBox(parent) {}

void PageComboBox::SetDropDownHandler(std::function<void()> handler) {
    dropDown_ = std::move(handler);
}

void PageComboBox::SetKeyFilter(std::function<bool()> discardKeys) {
    discardKeys_ = std::move(discardKeys);
}

void PageComboBox::SetStandInText(const QString& text) {
    if (standIn_ == text) return;
    standIn_ = text;
    update();
}

QString PageComboBox::ShownText() const { return standIn_.isEmpty() ? currentText() : standIn_; }

void PageComboBox::showPopup() {
    if (dropDown_) dropDown_();
    QComboBox::showPopup();
}

void PageComboBox::keyPressEvent(QKeyEvent* event) {
    if (discardKeys_ && discardKeys_()) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void PageComboBox::paintEvent(QPaintEvent* event) {
    if (standIn_.isEmpty()) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = standIn_;
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace quillane
