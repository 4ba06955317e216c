#pragma once

#include <QAbstractTableModel>

namespace quillane {

class StringGrid;

// A string grid of the core as a Qt table: the view reads and writes the
// grid's own cells, so an edit is what the next lookup parses. Column 0 of the
// grid, the row titles, is the vertical header; row 0 is a row of fixed cells
// that cannot be edited.
class StringGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    StringGridModel(StringGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The core rewrote the cells (start-up reading, apply).
    void CellsChanged();

private:
    StringGrid& grid_;
};

}  // namespace quillane
