#include "model/StringGrid.h"

namespace quillane {

namespace {
const std::string kNoCell;
}

StringGrid::StringGrid(int columns, int rows)
    : columns_(columns), rows_(rows), cells_(static_cast<size_t>(columns * rows)) {}

const std::string& StringGrid::Cell(int column, int row) const {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return kNoCell;
    return cells_[static_cast<size_t>(row * columns_ + column)];
}

void StringGrid::SetCell(int column, int row, const std::string& text) {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return;
    cells_[static_cast<size_t>(row * columns_ + column)] = text;
}

}  // namespace quillane
