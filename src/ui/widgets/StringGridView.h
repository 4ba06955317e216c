#pragma once

#include <QTableView>

namespace quillane {

class StringGridModel;

// A string grid as the Properties page shows it: columns 26 and rows 16
// pixels, one fixed title column and one fixed row, grid lines, editing in
// place, a horizontal scroll bar only.
class StringGridView : public QTableView {
    Q_OBJECT

public:
    // The object name is the grid's name ("sgSense"); the separator is the
    // one its numbers are written with.
    StringGridView(const char* name, StringGridModel* model, char decimalSeparator,
                   QWidget* parent = nullptr);

    // A cell's own size; the grid line after each cell comes on top of it,
    // as the group boxes around the grids were measured for.
    static constexpr int kColumnWidth = 26;
    static constexpr int kRowHeight = 16;
    static constexpr int kGridLine = 1;

    // Closes an open cell editor, its text kept in the cell, so that what the
    // core stores and writes back is not overwritten when the editor closes later.
    void FinishEditing();

protected:
    void changeEvent(QEvent* event) override;

private:
    void FitFont();

    char decimalSeparator_;
    bool fitting_ = false;
};

}  // namespace quillane
