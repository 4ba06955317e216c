#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <Qt>

class QPainter;
class QRect;
class QWidget;

namespace quillane {

// One line of text in a box of fixed size, drawn by the widget that owns it
// (a caption, a value label) where the style's own text drawing puts it, but
// without the style's whole text layout at every paint: a value is painted
// up to 60 times a second. Where the face at hand is wider than the one the
// pages were laid out in, the line is drawn in a smaller size of it (as the
// grids do) rather than cut off; the widest text the box will hold keeps its
// size put while the value changes. What it measured and laid out is kept for
// the widget's font.
class FittedLine {
public:
    void SetWidestText(const QString& widest);

    // The face to draw `shown` in within `room` pixels of `owner`, sized for
    // the wider of it and the widest text.
    const QFont& Fitted(const QWidget& owner, const QString& shown, int room);
    // Draws `shown` as one line within `room`, in the painter's font and the
    // owner's foreground; false, drawing nothing, for a text that needs the
    // style's full layout (more lines, tabs, blanks at the ends, right-to-
    // left text, a disabled owner).
    bool Draw(QPainter& p, const QWidget& owner, const QRect& room, Qt::Alignment align,
              const QString& shown);

private:
    // The width of `text` in the owner's font, kept: a value label shows the
    // same few dozen texts again and again, and measuring shapes the text
    // anew each time.
    qreal Advance(const QWidget& owner, const QString& text);
    // `shown` laid out in `drawnIn`, for a painter that does not scale:
    // shaping a text is most of what painting it costs, so each is laid out
    // once and kept (until the face changes or too many were kept).
    const QStaticText& LaidOut(const QString& shown, const QFont& drawnIn);

    QString widest_;
    QFont measuredFor_;
    int widestAdvance_ = -1;
    QHash<QString, qreal> advances_;  // in measuredFor_
    QString fittedSample_;
    int fittedRoom_ = -1;
    QFont fitted_;
    QHash<QString, QStaticText> laidOut_;  // in laidOutIn_
    QFont laidOutIn_;
    // The height of a line in the face drawn in at the owner's resolution,
    // kept: finding the face's metrics anew at every paint costs more than
    // the drawing of a kept layout.
    QFont heightFor_;
    int heightDpi_ = -1;
    qreal ascent_ = 0;
    qreal descent_ = 0;
};

}  // namespace quillane
