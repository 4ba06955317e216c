#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStyle>

#include "ui/widgets/FittedLabel.h"

namespace quillane {
namespace {

QImage Rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The text as the style draws it, with the same font, size and margins.
struct StyleText : QWidget {
    QString text;
    Qt::Alignment align;
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        style()->drawItemText(&p, contentsRect(), align, palette(), true, text, foregroundRole());
    }
};

template <typename W>
W& Shaped(W& w, int pixels, QSize size) {
    QFont font;
    font.setPixelSize(pixels);
    w.setFont(font);
    w.setFixedSize(size);
    w.setContentsMargins(3, 3, 3, 3);  // a text too tall is cut inside them
    return w;
}

// A label draws a single line itself: on the very pixels the style gives, in
// each alignment and where the text is cut, also after a change of font (the
// widths it keeps were measured in the old one); other texts go to the style.
TEST(FittedLabel, DrawsItsLineWhereTheStyleDoes) {
    const struct {
        const char* text;
        Qt::Alignment align;
        int pixels;
        QSize size;
    } cases[] = {{"6.517", Qt::AlignCenter, 13, {55, 19}},
                 {"-12.5", Qt::AlignRight | Qt::AlignVCenter, 11, {40, 17}},
                 {"0", Qt::AlignHCenter | Qt::AlignBottom, 15, {31, 30}},
                 {"mV", Qt::AlignLeft | Qt::AlignTop, 24, {60, 12}},
                 {"two\nlines", Qt::AlignCenter, 11, {60, 40}}};
    for (const auto& c : cases) {
        FittedLabel label(QString::fromUtf8(c.text));
        label.setAlignment(c.align);
        Rendered(Shaped(label, 5, c.size));
        StyleText expected;
        expected.text = label.text();
        expected.align = c.align;
        const QImage drawn = Rendered(Shaped(label, c.pixels, c.size));
        EXPECT_EQ(drawn, Rendered(Shaped(expected, c.pixels, c.size))) << c.text;
    }
}

}  // namespace
}  // namespace quillane
