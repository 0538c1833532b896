#include "platform/spreadsheet/SheetData.h"

#include <algorithm>

namespace quill::spreadsheet {

Cell& SheetData::touch(int row, int column) {
  if (row >= static_cast<int>(rows_.size())) rows_.resize(static_cast<std::size_t>(row) + 1);
  auto& cells = rows_[static_cast<std::size_t>(row)];
  if (column >= static_cast<int>(cells.size())) {
    // Rows tend to be as wide as the one before: room for that at once.
    widestRow_ = std::max(widestRow_, static_cast<std::size_t>(column) + 1);
    if (cells.capacity() < widestRow_) cells.reserve(widestRow_);
    cells.resize(static_cast<std::size_t>(column) + 1);
  }
  Cell& cell = cells[static_cast<std::size_t>(column)];
  if (!cell.present) {
    cell.present = true;
    cell.style = columns_[static_cast<std::size_t>(column)].style;
  }
  return cell;
}

std::optional<CellRect> SheetData::usedRect() const {
  std::optional<CellRect> rect;
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    const auto& cells = rows_[static_cast<std::size_t>(r)];
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      if (!cells[static_cast<std::size_t>(c)].present) continue;
      if (!rect) {
        rect = CellRect::cell(r, c);
        continue;
      }
      rect->firstRow = std::min(rect->firstRow, r);
      rect->lastRow = std::max(rect->lastRow, r);
      rect->firstColumn = std::min(rect->firstColumn, c);
      rect->lastColumn = std::max(rect->lastColumn, c);
    }
  }
  return rect;
}

}  // namespace quill::spreadsheet
