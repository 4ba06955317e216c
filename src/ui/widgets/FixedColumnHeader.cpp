#include "ui/widgets/FixedColumnHeader.h"

#include <QPainter>
#include <QStyleOption>

#include "ui/widgets/GridCellDelegate.h"

namespace quillane {

FixedColumnHeader::FixedColumnHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
}

void FixedColumnHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const QString text = model()->headerData(logicalIndex, Qt::Vertical).toString();
    // The cell, then the grid lines the table draws after its own cells.
    GridCellDelegate::PaintFixedCell(*painter, rect.adjusted(0, 0, -1, -1), text, font(),
                                     palette());
    QStyleOption option;
    option.initFrom(this);
    const int hint = style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this);
    painter->save();
    painter->setPen(QColor::fromRgba(static_cast<QRgb>(hint)));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

}  // namespace quillane
