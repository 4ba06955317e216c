#pragma once

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace quillane {

// A label that keeps its place and size and still shows its text whole: where
// the face at hand is wider than the one the pages were laid out in, the text
// is drawn in a smaller size of it (as the grids do) rather than cut off or
// run into the control beside it. A value label names the widest text it will
// hold, so that its size stays put while the value changes.
class FittedLabel : public QLabel {
    Q_OBJECT

public:
    explicit FittedLabel(const QString& text, QWidget* parent = nullptr);

    void SetWidestText(const QString& widest);
    // Covers what lies behind its letters (a group's frame line) with the
    // page's colour, and nothing around them, such as a group's title.
    void SetLetterBackground(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The face to draw `shown` in within `room` pixels, sized for the wider of
    // it and the widest text. Finding it measures text in one size after
    // another, and a value label is painted at every redraw of its page with
    // the same widest text: so the widest text's width is kept for the font,
    // and the answer until the font, the sample or the room changes.
    const QFont& Fitted(const QString& shown, int room);
    // The width of `text` in the label's font. A value label shows the same
    // few dozen texts again and again as the signal wanders, and measuring
    // shapes the text anew each time: the widths are kept for the font, and
    // the one measured to fit the text serves to place it too.
    qreal Advance(const QString& text);
    // Draws `shown` as one line within `room`; false, drawing nothing, for a
    // text that needs the style's full layout.
    bool DrawLine(QPainter& p, const QRect& room, Qt::Alignment align, const QString& shown);
    // `shown` laid out in `drawnIn`, for a painter that does not scale:
    // shaping a text is most of what painting it costs, and a value label
    // paints the same few dozen texts again and again, so each is laid out
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
    bool letterBackground_ = false;
};

}  // namespace quillane
