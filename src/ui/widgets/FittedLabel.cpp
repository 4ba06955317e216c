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
    widestAdvance_ = -1;
    update();
}

void FittedLabel::SetLetterBackground(bool on) {
    letterBackground_ = on;
    update();
}

namespace {
// Enough for the texts a wandering value takes in a while; past it the kept
// widths start again rather than grow without end.
constexpr int kKeptAdvances = 256;
}  // namespace

int FittedLabel::Advance(const QFontMetrics& metrics, const QString& text) {
    const auto kept = advances_.constFind(text);
    if (kept != advances_.constEnd()) return *kept;
    if (advances_.size() >= kKeptAdvances) advances_.clear();
    const int advance = metrics.horizontalAdvance(text);
    advances_.insert(text, advance);
    return advance;
}

const QFont& FittedLabel::Fitted(const QString& shown, int room) {
    const QFontMetrics metrics = fontMetrics();
    if (widestAdvance_ < 0 || font() != measuredFor_) {
        advances_.clear();
        widestAdvance_ = metrics.horizontalAdvance(widest_);
        measuredFor_ = font();
    }
    const QString& sample =
        widestAdvance_ > 0 && widestAdvance_ >= Advance(metrics, shown) ? widest_ : shown;
    if (room != fittedRoom_ || sample != fittedSample_ || font() != fittedFor_) {
        fitted_ = GridCellDelegate::FittedFont(font(), sample, room);
        fittedFor_ = font();
        fittedSample_ = sample;
        fittedRoom_ = room;
    }
    return fitted_;
}

void FittedLabel::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    const QString shown = text();
    const QRect room = contentsRect();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    QPainter p(this);
    const QFont& fitted = Fitted(shown, room.width());
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
    style()->drawItemText(&p, room, align, palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace quillane
