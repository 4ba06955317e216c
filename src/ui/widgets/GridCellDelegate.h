#pragma once

#include <QStyledItemDelegate>

class QPalette;

namespace quillane {

// Draws the cells of a string grid as the console's grids look: text two
// pixels from the left edge (a 26-pixel column has no room for the usual item
// margins), fixed cells in the button face. Its editor writes every keystroke
// into the cell, so the tables answer with what is typed even before the
// editor closes; Esc in the editor puts back what the cell held when the edit
// began, and is the editor's alone (the window's Esc action does not run).
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit GridCellDelegate(QObject* parent = nullptr);

    // Space between a cell's left edge and its text.
    static constexpr int kTextIndent = 2;
    // The font, made smaller only as far as needed (not below 8 pixels) for
    // the text to fit `room` pixels.
    static QFont FittedFont(const QFont& font, const QString& text, int room);
    // A fixed cell: in the body (row 0) and in the title column alike.
    static void PaintFixedCell(QPainter& painter, const QRect& rect, const QString& text,
                               const QFont& font, const QPalette& palette);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

}  // namespace quillane
