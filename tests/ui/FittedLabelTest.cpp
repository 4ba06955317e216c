#include <gtest/gtest.h>

#include <QFont>
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

// The text as the style draws it, in the same font and room.
class StyleText : public QWidget {
public:
    StyleText(const QString& text, Qt::Alignment align) : text_(text), align_(align) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        style()->drawItemText(&p, contentsRect(), align_, palette(), true, text_, foregroundRole());
    }

private:
    QString text_;
    Qt::Alignment align_;
};

// A value label draws its one line itself, for speed: it must land on the
// very pixels the style's drawing gives, in every alignment, also where the
// text is cut at the label's edge; texts the style lays out otherwise go to
// the style.
TEST(FittedLabel, DrawsItsLineWhereTheStyleDoes) {
    const struct {
        const char* text;
        Qt::Alignment align;
        int pixels;
        QSize size;
    } cases[] = {
        {"6.517", Qt::AlignCenter, 13, {55, 19}},
        {"-12.5", Qt::AlignRight | Qt::AlignVCenter, 11, {40, 17}},
        {"Signal:", Qt::AlignLeft | Qt::AlignVCenter, 12, {64, 15}},
        {"0", Qt::AlignHCenter | Qt::AlignBottom, 15, {31, 30}},
        {"mV", Qt::AlignLeft | Qt::AlignTop, 24, {60, 12}},  // taller than the room
        {"two\nlines", Qt::AlignCenter, 11, {60, 40}},
        {" 12 ", Qt::AlignRight | Qt::AlignVCenter, 12, {60, 20}},
        {"a\tb", Qt::AlignLeft | Qt::AlignVCenter, 12, {300, 20}},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        QFont font;
        font.setPixelSize(c.pixels);
        FittedLabel label(text);
        label.setFont(font);
        label.setFixedSize(c.size);
        label.setAlignment(c.align);
        StyleText expected(text, c.align);
        expected.setFont(font);
        expected.setFixedSize(c.size);
        // Room inside the label's edges, where a text too tall is cut.
        for (QWidget* w : {static_cast<QWidget*>(&label), static_cast<QWidget*>(&expected)})
            w->setContentsMargins(3, 3, 3, 3);
        const QImage drawn = Rendered(label);
        QImage blank(c.size, QImage::Format_ARGB32);
        blank.fill(Qt::white);
        ASSERT_NE(drawn, blank) << c.text;  // something was drawn
        EXPECT_EQ(drawn, Rendered(expected)) << c.text;
    }
}

FittedLabel& Prepared(FittedLabel& label, int pixels) {
    QFont font = label.font();
    font.setPixelSize(pixels);
    label.setFont(font);
    label.setFixedSize(40, 48);
    label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label.SetWidestText(QStringLiteral("0"));
    return label;
}

// The label keeps the widths of the texts it showed; a new font must measure
// them again. Measured in a tiny font, six digits would seem narrower than
// one digit in a large one, and be drawn in the large font past the label.
TEST(FittedLabel, NewFontPaintsAsALabelBuiltInIt) {
    FittedLabel changed(QStringLiteral("000000"));
    Prepared(changed, 6);
    const QImage tiny = Rendered(changed);
    Prepared(changed, 40);
    FittedLabel fresh(QStringLiteral("000000"));
    Prepared(fresh, 40);
    const QImage expected = Rendered(fresh);
    ASSERT_NE(tiny, expected);  // the two fonts do draw differently
    EXPECT_EQ(Rendered(changed), expected);
}

}  // namespace
}  // namespace quillane
