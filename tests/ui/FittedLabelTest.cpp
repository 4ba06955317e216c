#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QStyle>

#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/ValueLabel.h"

namespace quillane {
namespace {

QImage Rendered(QWidget& widget, qreal ratio = 1) {
    QImage image(widget.size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
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

// A value label draws as a label of the page would, and keeps each text it
// laid out: the same pixels come back when a text shows again after others,
// inside a page and on a screen of twice the pixels. Assistive technology
// reads its value as a label's.
TEST(ValueLabel, DrawsAsTheStyleAndATextShownAgainOnTheSamePixels) {
    for (const qreal ratio : {1.0, 2.0}) {
        QWidget page;
        page.resize(120, 40);
        auto* label = new ValueLabel(QString(), &page);
        label->move(17, 9);
        auto* expected = new StyleText;
        expected->setParent(&page);
        expected->align = Qt::AlignCenter;
        expected->move(17, 9);
        Shaped(*label, 11, {49, 13});
        Shaped(*expected, 11, {49, 13});
        for (const char* text : {"6.517", "-0.250", "6.518", "6.517", "12.0%", "6.518"}) {
            label->setText(QString::fromLatin1(text));
            expected->text = label->text();
            expected->hide();
            label->show();
            const QImage drawn = Rendered(page, ratio);
            label->hide();
            expected->show();
            EXPECT_EQ(drawn, Rendered(page, ratio)) << text << " at " << ratio;
        }
    }
    ValueLabel label(QStringLiteral("0.000"));
    label.setText(QStringLiteral("6.517"));
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::StaticText);
    EXPECT_EQ(read->text(QAccessible::Name), "6.517");
}

}  // namespace
}  // namespace quillane
