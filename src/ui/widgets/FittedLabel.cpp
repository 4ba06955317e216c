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

qreal FittedLabel::Advance(const QString& text) {
    const auto kept = advances_.constFind(text);
    if (kept != advances_.constEnd()) return *kept;
    if (advances_.size() >= kKeptAdvances) advances_.clear();
    const qreal advance = QFontMetricsF(font(), this).horizontalAdvance(text);
    advances_.insert(text, advance);
    return advance;
}

const QFont& FittedLabel::Fitted(const QString& shown, int room) {
    const QFontMetrics metrics = fontMetrics();
    if (widestAdvance_ < 0 || font() != measuredFor_) {
        // Everything kept was measured in the old font.
        advances_.clear();
        fittedRoom_ = -1;
        widestAdvance_ = metrics.horizontalAdvance(widest_);
        measuredFor_ = font();
    }
    const int shownAdvance = qRound(Advance(shown));
    const bool byWidest = widestAdvance_ > 0 && widestAdvance_ >= shownAdvance;
    // What fits in the label's own size is drawn in it, as the fitting
    // would find at its first try; only a text too wide tries smaller sizes.
    if ((byWidest ? widestAdvance_ : shownAdvance) <= room) return font();
    const QString& sample = byWidest ? widest_ : shown;
    if (room != fittedRoom_ || sample != fittedSample_) {
        fitted_ = GridCellDelegate::FittedFont(font(), sample, room);
        fittedSample_ = sample;
        fittedRoom_ = room;
    }
    return fitted_;
}

// One line of plain text, drawn where the style's own text drawing puts it:
// that goes through a whole text layout (line breaking included) for each
// paint, and a value label is painted many times a second. Anything the
// layout would treat otherwise (more lines, tabs, blanks at the ends, right-
// to-left text) is left to the style.
bool FittedLabel::DrawLine(QPainter& p, const QRect& room, Qt::Alignment align,
                           const QString& shown) {
    // Some styles etch or dither a disabled text.
    if (!isEnabled() || shown.isEmpty() || shown.front().isSpace() || shown.back().isSpace() ||
        shown.isRightToLeft())
        return false;
    for (const QChar c : shown)
        if (c == u'\n' || c == u'\t' || c == u'&' || c == QChar::LineSeparator ||
            c.category() == QChar::Other_Control)
            return false;
    const QFontMetricsF m(p.font(), this);
    // Measured in the label's own font already, when that is the one drawn in.
    const qreal width = p.font() == font() ? Advance(shown) : m.horizontalAdvance(shown);
    const qreal height = m.ascent() + m.descent();
    qreal x = 0;
    qreal y = 0;
    if (align & Qt::AlignRight)
        x = room.width() - width;
    else if (align & Qt::AlignHCenter)
        x = (room.width() - width) / 2;
    if (align & Qt::AlignBottom)
        y = room.height() - height;
    else if (align & Qt::AlignVCenter)
        y = (room.height() - height) / 2;
    const QRectF bounds(room.x() + x, room.y() + y, width, height);
    // Text taller or wider than the room is cut at its edges, as the style does.
    if (!QRectF(room).contains(bounds)) p.setClipRect(room, Qt::IntersectClip);
    p.setPen(QPen(palette().brush(foregroundRole()), p.pen().widthF()));
    // A painter that scales (a screen of twice the pixels) puts the glyphs of
    // a kept layout on other subpixel places than the style would: there the
    // text is laid out anew.
    if (p.deviceTransform().type() <= QTransform::TxTranslate)
        p.drawStaticText(bounds.topLeft(), LaidOut(shown, p.font()));
    else
        p.drawText(QPointF(bounds.x(), bounds.y() + m.ascent()), shown);
    return true;
}

const QStaticText& FittedLabel::LaidOut(const QString& shown, const QFont& drawnIn) {
    if (drawnIn != laidOutIn_) {
        laidOut_.clear();
        laidOutIn_ = drawnIn;
    }
    auto kept = laidOut_.find(shown);
    if (kept != laidOut_.end()) return *kept;
    if (laidOut_.size() >= kKeptAdvances) laidOut_.clear();
    QStaticText text(shown);
    text.setTextFormat(Qt::PlainText);
    return *laidOut_.insert(shown, text);
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
    if (!DrawLine(p, room, align, shown))
        style()->drawItemText(&p, room, align, palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace quillane
