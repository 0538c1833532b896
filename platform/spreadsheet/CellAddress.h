#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::spreadsheet {

// The size of a 97–2003 worksheet.
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;

// A block of cells, 0-based and inclusive on both ends.
struct CellRect {
  int firstRow = 0;
  int firstColumn = 0;
  int lastRow = 0;
  int lastColumn = 0;

  static CellRect cell(int row, int column) { return {row, column, row, column}; }
  static CellRect columns(int first, int last) { return {0, first, kMaxRows - 1, last}; }
  static CellRect wholeSheet() { return {0, 0, kMaxRows - 1, kMaxColumns - 1}; }

  int rowCount() const { return lastRow - firstRow + 1; }
  int columnCount() const { return lastColumn - firstColumn + 1; }
  bool isSingleCell() const { return firstRow == lastRow && firstColumn == lastColumn; }
  // Every row of its columns: what Columns(k) and "A:C" answer.
  bool coversWholeColumns() const { return firstRow == 0 && lastRow == kMaxRows - 1; }
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

// "A" for 0, "Z" for 25, "AA" for 26 ... "IV" for 255.
std::string columnLetters(int column);
// The 0-based column of letters ("iv" as "IV"); nothing past the last column
// or for anything that is not letters.
std::optional<int> columnFromLetters(std::string_view letters);

// A reference as Range() takes it: "A1", "$B$2", "A1:C3", whole columns
// "A:C", whole rows "2:5", without regard to case. Nothing for anything else,
// including cells past the sheet's last row or column. The corners come out
// ordered ("C3:A1" is A1:C3).
std::optional<CellRect> parseReference(std::string_view reference);

// "A1" or "A1:C3", as Address answers without the dollar signs.
std::string referenceText(const CellRect& rect);

}  // namespace quill::spreadsheet
