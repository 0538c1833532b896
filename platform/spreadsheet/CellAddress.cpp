#include "platform/spreadsheet/CellAddress.h"

#include <algorithm>

namespace quill::spreadsheet {

namespace {

// One side of a reference: a column, a row, or both.
struct RefPart {
  std::optional<int> column;
  std::optional<int> row;
};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<RefPart> parsePart(std::string_view text) {
  std::size_t i = 0;
  auto dollar = [&] { return i < text.size() && text[i] == '$' ? (++i, true) : false; };
  RefPart part;
  bool columnDollar = dollar();
  std::size_t letters = i;
  while (i < text.size() && isLetter(text[i])) ++i;
  if (i > letters) {
    part.column = columnFromLetters(text.substr(letters, i - letters));
    if (!part.column) return std::nullopt;
  } else if (columnDollar) {
    return std::nullopt;
  }
  bool rowDollar = dollar();
  std::size_t digits = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i != text.size()) return std::nullopt;
  if (i > digits) {
    if (i - digits > 5) return std::nullopt;
    int row = 0;
    for (std::size_t k = digits; k < i; ++k) row = row * 10 + (text[k] - '0');
    if (row < 1 || row > kMaxRows) return std::nullopt;
    part.row = row - 1;
  } else if (rowDollar) {
    return std::nullopt;
  }
  if (!part.column && !part.row) return std::nullopt;
  return part;
}

}  // namespace

std::string columnLetters(int column) {
  std::string out;
  int n = column + 1;
  while (n > 0) {
    int rem = (n - 1) % 26;
    out.insert(out.begin(), static_cast<char>('A' + rem));
    n = (n - 1) / 26;
  }
  return out;
}

std::optional<int> columnFromLetters(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return std::nullopt;
  int n = 0;
  for (char c : letters) {
    if (!isLetter(c)) return std::nullopt;
    n = n * 26 + ((c & ~0x20) - 'A' + 1);
  }
  if (n > kMaxColumns) return std::nullopt;
  return n - 1;
}

std::optional<CellRect> parseReference(std::string_view reference) {
  auto colon = reference.find(':');
  auto first = parsePart(reference.substr(0, colon));
  if (!first) return std::nullopt;
  RefPart second = *first;
  if (colon != std::string_view::npos) {
    auto other = parsePart(reference.substr(colon + 1));
    if (!other) return std::nullopt;
    second = *other;
  }
  // Both sides the same kind: two cells, two columns or two rows. A single
  // side must be a cell ("A" alone or "1" alone is no reference).
  bool cells = first->column && first->row && second.column && second.row;
  bool columns = first->column && !first->row && second.column && !second.row && colon != std::string_view::npos;
  bool rows = !first->column && first->row && !second.column && second.row && colon != std::string_view::npos;
  CellRect rect;
  if (cells) {
    rect = {*first->row, *first->column, *second.row, *second.column};
  } else if (columns) {
    rect = CellRect::columns(*first->column, *second.column);
  } else if (rows) {
    rect = {*first->row, 0, *second.row, kMaxColumns - 1};
  } else {
    return std::nullopt;
  }
  if (rect.firstRow > rect.lastRow) std::swap(rect.firstRow, rect.lastRow);
  if (rect.firstColumn > rect.lastColumn) std::swap(rect.firstColumn, rect.lastColumn);
  return rect;
}

std::string referenceText(const CellRect& rect) {
  std::string out = columnLetters(rect.firstColumn) + std::to_string(rect.firstRow + 1);
  if (!rect.isSingleCell()) out += ":" + columnLetters(rect.lastColumn) + std::to_string(rect.lastRow + 1);
  return out;
}

}  // namespace quill::spreadsheet
