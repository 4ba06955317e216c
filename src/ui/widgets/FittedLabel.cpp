#include "ui/widgets/FittedLabel.h"

#include <QPainter>
#include <QStyle>

namespace quillane {

FittedLabel::FittedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

void FittedLabel::SetWidestText(const QString& widest) {
    line_.SetWidestText(widest);
    update();
}

void FittedLabel::SetLetterBackground(bool on) {
    letterBackground_ = on;
    update();
}

void FittedLabel::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    const QString shown = text();
    const QRect room = contentsRect();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    QPainter p(this);
    const QFont& fitted = line_.Fitted(*this, shown, room.width());
    // The painter starts in the label's font; setting an equal one anew
    // would look its face up again at every paint.
    if (fitted != font()) p.setFont(fitted);
    if (letterBackground_) {
        const QFontMetrics m = p.fontMetrics();
        const QRect line = style()->itemTextRect(m, room, align, isEnabled(), shown);
        const int baseline = line.top() + m.ascent();
        p.fillRect(QRect(QPoint(line.left() - 1, baseline - m.capHeight() - 1),
                         QPoint(line.right() + 1, baseline + m.descent())),
                   palette().brush(backgroundRole()));
    }
    if (!line_.Draw(p, *this, room, align, shown))
        style()->drawItemText(&p, room, align, palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace quillane
