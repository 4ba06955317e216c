#include <gtest/gtest.h>

#include <QFont>
#include <QImage>

#include "ui/widgets/FittedLabel.h"

namespace quillane {
namespace {

QImage Rendered(FittedLabel& label) {
    QImage image(label.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    label.render(&image);
    return image;
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
