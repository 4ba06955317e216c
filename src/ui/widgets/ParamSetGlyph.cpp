#include "ui/widgets/ParamSetGlyph.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillane {
namespace {

constexpr int kSide = 24;  // logical pixels

void DrawDetector(QPainter& p) {
    p.setPen(QPen(QColor(30, 45, 70), 1));
    p.setBrush(QColor(70, 100, 150));
    p.drawRoundedRect(QRectF(13.5, 3.5, 9, 17), 2, 2);
    // The lens that faces the zone.
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QPointF(18, 8.5), 2.5, 2.5);
    // Two status lamps.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(16.5, 16), 1.2, 1.2);
    p.setBrush(QColor(255, 200, 0));
    p.drawEllipse(QPointF(19.5, 16), 1.2, 1.2);
}

void DrawArrow(QPainter& p) {
    QPainterPath arrow;
    arrow.moveTo(1, 10);
    arrow.lineTo(6, 10);
    arrow.lineTo(6, 6);
    arrow.lineTo(12.5, 12);
    arrow.lineTo(6, 18);
    arrow.lineTo(6, 14);
    arrow.lineTo(1, 14);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0, 80, 0), 1));
    p.setBrush(QColor(0, 150, 0));
    p.drawPath(arrow);
}

QPixmap Draw(int ratio) {
    QPixmap pixmap(kSide * ratio, kSide * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawDetector(p);
    DrawArrow(p);
    return pixmap;
}

}  // namespace

QIcon ParamSetGlyph() {
    QIcon icon;
    for (int ratio = 1; ratio <= 3; ++ratio) icon.addPixmap(Draw(ratio));
    return icon;
}

}  // namespace quillane
