#include "ui/widgets/FittedLabel.h"

#include <QPainter>
#include <QStyle>

#include "ui/widgets/GridCellDelegate.h"

namespace quillane {

FittedLabel::FittedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

void FittedLabel::SetWidestText(const QString& widest) {
    widest_ = widest;
    update();
}

void FittedLabel::SetLetterBackground(bool on) {
    letterBackground_ = on;
    update();
}

void FittedLabel::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    const QString shown = text();
    const QFontMetrics metrics = fontMetrics();
    const QString& sample =
        metrics.horizontalAdvance(widest_) > metrics.horizontalAdvance(shown) ? widest_ : shown;
    const QRect room = contentsRect();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    QPainter p(this);
    p.setFont(GridCellDelegate::FittedFont(font(), sample, room.width()));
    if (letterBackground_) {
        const QFontMetrics m = p.fontMetrics();
        const QRect line = style()->itemTextRect(m, room, align, isEnabled(), shown);
        const int baseline = line.top() + m.ascent();
        p.fillRect(QRect(QPoint(line.left() - 1, baseline - m.capHeight() - 1),
                         QPoint(line.right() + 1, baseline + m.descent())),
                   palette().brush(backgroundRole()));
    }
    style()->drawItemText(&p, room, align, palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace quillane
