#pragma once

#include <QHeaderView>

namespace quillane {

// The fixed title column of a string grid ("Sens", "  PL", ...): it stays in
// place while the values scroll, and its cells look like the fixed row's.
class FixedColumnHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit FixedColumnHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace quillane
