#include "ui/window/MakerLogo.h"

#include <QFont>
#include <QPainter>

namespace quillane {

QPixmap MakerLogo() {
    QPixmap logo(191, 89);
    logo.fill(QColor(0, 60, 120));
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    // The emblem: a "Q" ring crossed by a detection beam.
    p.setPen(QPen(QColor(255, 200, 40), 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(40, 44), 22, 22);
    p.drawLine(QPointF(52, 56), QPointF(66, 72));
    p.setPen(QPen(QColor(255, 255, 255, 170), 2, Qt::DashLine));
    p.drawLine(QPointF(8, 44), QPointF(183, 44));
    p.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"), 15, QFont::Bold);
    p.setFont(font);
    p.drawText(QRectF(72, 14, 115, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quillane"));
    font.setPointSize(7);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRectF(72, 50, 115, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("perimeter detectors"));
    return logo;
}

}  // namespace quillane
