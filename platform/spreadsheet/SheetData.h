#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/spreadsheet/Cell.h"
#include "platform/spreadsheet/CellAddress.h"

namespace quill::spreadsheet {

// The width a column has until it is set or fitted, in characters of the
// standard font's digits.
inline constexpr double kStandardColumnWidth = 8.43;
// The widest a column can be.
inline constexpr double kMaxColumnWidth = 255.0;

struct ColumnInfo {
  double width = kStandardColumnWidth;
  bool customWidth = false;  // set by ColumnWidth or AutoFit
  bool bestFit = false;      // set by AutoFit
  CellStyle style;           // the look of its cells that were never touched
};

// The contents of one worksheet: its cells by row and column, its columns'
// widths and looks, and the selection. Rows and columns are 0-based here.
class SheetData {
 public:
  explicit SheetData(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // The cell if it is present, else nothing.
  const Cell* find(int row, int column) const {
    if (row >= static_cast<int>(rows_.size())) return nullptr;
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(cells.size())) return nullptr;
    const Cell& cell = cells[static_cast<std::size_t>(column)];
    return cell.present ? &cell : nullptr;
  }
  // Asks the processor to fetch a cell that will be read soon: walks down a
  // column otherwise wait on memory at every row, each row's cells living
  // apart.
  void prefetch(int row, int column) const {
    if (row >= static_cast<int>(rows_.size())) return;
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    if (column < static_cast<int>(cells.size())) __builtin_prefetch(&cells[static_cast<std::size_t>(column)]);
  }
  // The cell, made present (with its column's look) when it was not.
  Cell& touch(int row, int column);

  // How many rows may hold present cells (the last such row + 1, or less).
  int rowSpan() const { return static_cast<int>(rows_.size()); }
  // The cells of a row by column; entries that are not present are gaps.
  std::span<const Cell> row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  std::span<Cell> row(int row) { return rows_[static_cast<std::size_t>(row)]; }

  const ColumnInfo& column(int column) const { return columns_[static_cast<std::size_t>(column)]; }
  ColumnInfo& column(int column) { return columns_[static_cast<std::size_t>(column)]; }

  // The smallest block holding every present cell; nothing for an empty sheet.
  std::optional<CellRect> usedRect() const;

  const CellRect& selection() const { return selection_; }
  void select(const CellRect& rect) { selection_ = rect; }

 private:
  std::string name_;
  std::vector<std::vector<Cell>> rows_;
  std::size_t widestRow_ = 0;
  std::array<ColumnInfo, kMaxColumns> columns_{};
  CellRect selection_ = CellRect::cell(0, 0);
};

}  // namespace quill::spreadsheet
