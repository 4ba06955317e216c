#include "ui/widgets/FittedLine.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

#include "ui/widgets/GridCellDelegate.h"

namespace quillane {

namespace {
// Every text a value takes in one setting of the detector: its 1024 signal
// counts (a calibration sweep passes through most of them, again and again).
// Past it the kept widths and layouts start again rather than grow without
// end; a few hundred kilobytes at the most.
constexpr int kKeptTexts = 1024;
}  // namespace

void FittedLine::SetWidestText(const QString& widest) {
    widest_ = widest;
    widestAdvance_ = -1;
}

qreal FittedLine::Advance(const QWidget& owner, const QString& text) {
    const auto kept = advances_.constFind(text);
    if (kept != advances_.constEnd()) return *kept;
    if (advances_.size() >= kKeptTexts) advances_.clear();
    const qreal advance = QFontMetricsF(owner.font(), &owner).horizontalAdvance(text);
    advances_.insert(text, advance);
    return advance;
}

const QFont& FittedLine::Fitted(const QWidget& owner, const QString& shown, int room) {
    const QFont& font = owner.font();
    if (widestAdvance_ < 0 || font != measuredFor_) {
        // Everything kept was measured in the old font.
        advances_.clear();
        fittedRoom_ = -1;
        widestAdvance_ = owner.fontMetrics().horizontalAdvance(widest_);
        measuredFor_ = font;
    }
    const int shownAdvance = qRound(Advance(owner, shown));
    const bool byWidest = widestAdvance_ > 0 && widestAdvance_ >= shownAdvance;
    // What fits in the box's own size is drawn in it, as the fitting would
    // find at its first try; only a text too wide tries smaller sizes.
    if ((byWidest ? widestAdvance_ : shownAdvance) <= room) return font;
    const QString& sample = byWidest ? widest_ : shown;
    if (room != fittedRoom_ || sample != fittedSample_) {
        fitted_ = GridCellDelegate::FittedFont(font, sample, room);
        fittedSample_ = sample;
        fittedRoom_ = room;
    }
    return fitted_;
}

bool FittedLine::Draw(QPainter& p, const QWidget& owner, const QRect& room, Qt::Alignment align,
                      const QString& shown) {
    // Some styles etch or dither a disabled text.
    if (!owner.isEnabled() || shown.isEmpty() || shown.front().isSpace() ||
        shown.back().isSpace() || shown.isRightToLeft())
        return false;
    for (const QChar c : shown)
        if (c == u'\n' || c == u'\t' || c == u'&' || c == QChar::LineSeparator ||
            c.category() == QChar::Other_Control)
            return false;
    const QFont& font = p.font();
    const int dpi = owner.logicalDpiY();
    if (dpi != heightDpi_ || font != heightFor_) {
        const QFontMetricsF m(font, &owner);
        ascent_ = m.ascent();
        descent_ = m.descent();
        heightFor_ = font;
        heightDpi_ = dpi;
    }
    // Measured in the owner's own font already, when that is the one drawn in.
    const qreal width = font == owner.font() ? Advance(owner, shown)
                                             : QFontMetricsF(font, &owner).horizontalAdvance(shown);
    const qreal height = ascent_ + descent_;
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
    p.setPen(QPen(owner.palette().brush(owner.foregroundRole()), p.pen().widthF()));
    // A painter that scales (a screen of twice the pixels) puts the glyphs of
    // a kept layout on other subpixel places than the style would: there the
    // text is laid out anew.
    if (p.deviceTransform().type() <= QTransform::TxTranslate)
        p.drawStaticText(bounds.topLeft(), LaidOut(shown, p.font()));
    else
        p.drawText(QPointF(bounds.x(), bounds.y() + ascent_), shown);
    return true;
}

const QStaticText& FittedLine::LaidOut(const QString& shown, const QFont& drawnIn) {
    if (drawnIn != laidOutIn_) {
        laidOut_.clear();
        laidOutIn_ = drawnIn;
    }
    auto kept = laidOut_.find(shown);
    if (kept != laidOut_.end()) return *kept;
    if (laidOut_.size() >= kKeptTexts) laidOut_.clear();
    QStaticText text(shown);
    text.setTextFormat(Qt::PlainText);
    return *laidOut_.insert(shown, text);
}

}  // namespace quillane
