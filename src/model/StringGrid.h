#pragma once

#include <string>
#include <vector>

namespace quillane {

// A table of cell texts, addressed (column, row) as the grids on the
// Properties page are. The correspondence tables keep no other copy: lookups
// parse the cell at the moment of use.
class StringGrid {
public:
    StringGrid(int columns, int rows);
    int ColumnCount() const { return columns_; }
    int RowCount() const { return rows_; }
    // Empty text outside the grid.
    const std::string& Cell(int column, int row) const;
    // Ignored outside the grid.
    void SetCell(int column, int row, const std::string& text);

private:
    int columns_;
    int rows_;
    std::vector<std::string> cells_;
};

}  // namespace quillane
