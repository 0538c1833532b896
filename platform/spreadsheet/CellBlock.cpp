#include "platform/spreadsheet/CellBlock.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "platform/spreadsheet/BiffText.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/TextWidth.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::spreadsheet {

std::string displayedText(const WorkbookData& book, const Cell& cell) {
  std::string out;
  const DisplayFormat& format = book.displayFormat(cell.style.numberFormat);
  switch (cell.kind) {
    case Cell::Kind::Empty:
      break;
    case Cell::Kind::Text:
      format.appendText(cell.text, out);
      break;
    case Cell::Kind::Number:
      format.appendNumber(cell.number, out);
      break;
    case Cell::Kind::Date:
      format.appendDate(cell.number, out);
      break;
    case Cell::Kind::Boolean:
      out = cell.number != 0 ? "TRUE" : "FALSE";
      break;
  }
  return out;
}

// How far ahead a walk down a column fetches its cells.
constexpr int kRowsAhead = 16;

template <class F>
void CellBlock::restyle(F change) {
  if (rect_.coversWholeColumns()) {
    for (int c = rect_.firstColumn; c <= rect_.lastColumn; ++c) change(sheet_.column(c).style);
    for (int r = 0; r < sheet_.rowSpan(); ++r) {
      sheet_.prefetch(r + kRowsAhead, rect_.firstColumn);
      auto row = sheet_.row(r);
      int last = std::min(rect_.lastColumn, static_cast<int>(row.size()) - 1);
      for (int c = rect_.firstColumn; c <= last; ++c)
        if (row[static_cast<std::size_t>(c)].present) change(row[static_cast<std::size_t>(c)].style);
    }
    return;
  }
  for (int r = rect_.firstRow; r <= rect_.lastRow; ++r)
    for (int c = rect_.firstColumn; c <= rect_.lastColumn; ++c) change(sheet_.touch(r, c).style);
}

template <class F>
void CellBlock::forEachStyle(F visit) const {
  for (int c = rect_.firstColumn; c <= rect_.lastColumn; ++c) {
    bool absent = rect_.lastRow >= sheet_.rowSpan();
    int lastRow = std::min(rect_.lastRow, sheet_.rowSpan() - 1);
    for (int r = rect_.firstRow; r <= lastRow; ++r) {
      const Cell* cell = sheet_.find(r, c);
      if (cell) {
        if (!visit(cell->style)) return;
      } else {
        absent = true;
      }
    }
    // Cells that are not present look like their column.
    if (absent && !visit(sheet_.column(c).style)) return;
  }
}

template <class T, class Get>
std::optional<T> CellBlock::uniform(Get get) const {
  std::optional<T> found;
  bool mixed = false;
  forEachStyle([&](const CellStyle& style) {
    T value = get(style);
    if (found && !(*found == value)) {
      mixed = true;
      return false;
    }
    found = value;
    return true;
  });
  if (mixed) return std::nullopt;
  return found;
}

void CellBlock::setValue(const Variant& value) { assignValue(value, nullptr); }

void CellBlock::setValue(Variant&& value) {
  // A text moves into a single cell; a block of cells copies it into each.
  // (The variant is ours, so its text may be taken although it is read
  // through a const accessor.)
  std::string* take =
      value.isString() && rect_.isSingleCell() ? &const_cast<std::string&>(value.stringValue()) : nullptr;
  assignValue(value, take);
}

void CellBlock::assignValue(const Variant& value, std::string* takeText) {
  Cell::Kind kind = Cell::Kind::Empty;
  double number = 0;
  const std::string* text = nullptr;
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
      break;
    case VarType::String:
      text = &value.stringValue();
      if (text->empty()) break;
      if (text->size() > kMaxCellTextUnits && utf16Length(*text) > kMaxCellTextUnits)
        throw sheetError(fmt::format("A cell holds at most {} characters of text", kMaxCellTextUnits));
      kind = Cell::Kind::Text;
      break;
    case VarType::Boolean:
      kind = Cell::Kind::Boolean;
      number = value.boolValue() ? 1 : 0;
      break;
    case VarType::Integer:
      kind = Cell::Kind::Number;
      number = value.integerValue();
      break;
    case VarType::Long:
      kind = Cell::Kind::Number;
      number = value.longValue();
      break;
    case VarType::Double:
      if (!std::isfinite(value.doubleValue())) throw sheetError("A cell cannot hold a number that is not finite");
      kind = Cell::Kind::Number;
      number = value.doubleValue();
      break;
    case VarType::Date:
      kind = Cell::Kind::Date;
      number = value.dateValue().serial;
      break;
    default:
      throw vbError(vberr::TypeMismatch, kErrorSource);
  }
  std::uint16_t dateFormat = 0;
  if (kind == Cell::Kind::Date) dateFormat = book_.numberFormat(vb::RegionalSettings::current().shortDateFormat);

  auto assign = [&](Cell& cell) {
    cell.kind = kind;
    cell.number = number;
    if (kind == Cell::Kind::Text)
      cell.text = *text;
    else
      cell.text.clear();
    if (dateFormat && cell.style.numberFormat == 0) cell.style.numberFormat = dateFormat;
  };
  if (kind == Cell::Kind::Empty && rect_.coversWholeColumns()) {
    // Clearing whole columns clears what is there and makes nothing new.
    for (int r = 0; r < sheet_.rowSpan(); ++r) {
      auto row = sheet_.row(r);
      int last = std::min(rect_.lastColumn, static_cast<int>(row.size()) - 1);
      for (int c = rect_.firstColumn; c <= last; ++c)
        if (row[static_cast<std::size_t>(c)].present) assign(row[static_cast<std::size_t>(c)]);
    }
    return;
  }
  for (int r = rect_.firstRow; r <= rect_.lastRow; ++r)
    for (int c = rect_.firstColumn; c <= rect_.lastColumn; ++c) assign(sheet_.touch(r, c));
}

Variant CellBlock::value() const {
  const Cell* cell = sheet_.find(rect_.firstRow, rect_.firstColumn);
  if (!cell) return Variant();
  switch (cell->kind) {
    case Cell::Kind::Empty:
      return Variant();
    case Cell::Kind::Text:
      return Variant(cell->text);
    case Cell::Kind::Number:
      return Variant(cell->number);
    case Cell::Kind::Boolean:
      return Variant(cell->number != 0);
    case Cell::Kind::Date:
      return Variant(Date{cell->number});
  }
  return Variant();
}

std::string CellBlock::text() const {
  const Cell* cell = sheet_.find(rect_.firstRow, rect_.firstColumn);
  return cell ? displayedText(book_, *cell) : std::string();
}

void CellBlock::setNumberFormat(std::string_view code) {
  if (code.size() > 255 && utf16Length(code) > 255) throw sheetError("A number format has at most 255 characters");
  std::uint16_t index = book_.numberFormat(code);
  restyle([index](CellStyle& s) { s.numberFormat = index; });
}

Variant CellBlock::numberFormat() const {
  auto index = uniform<std::uint16_t>([](const CellStyle& s) { return s.numberFormat; });
  if (!index) return Variant::null();
  return Variant(book_.numberFormatCode(*index));
}

void CellBlock::setBold(bool bold) {
  restyle([bold](CellStyle& s) { s.bold = bold; });
}

void CellBlock::setItalic(bool italic) {
  restyle([italic](CellStyle& s) { s.italic = italic; });
}

Variant CellBlock::bold() const {
  auto bold = uniform<bool>([](const CellStyle& s) { return s.bold; });
  return bold ? Variant(*bold) : Variant::null();
}

Variant CellBlock::italic() const {
  auto italic = uniform<bool>([](const CellStyle& s) { return s.italic; });
  return italic ? Variant(*italic) : Variant::null();
}

void CellBlock::setAlignment(HorizontalAlignment alignment) {
  restyle([alignment](CellStyle& s) { s.alignment = alignment; });
}

std::optional<HorizontalAlignment> CellBlock::alignment() const {
  return uniform<HorizontalAlignment>([](const CellStyle& s) { return s.alignment; });
}

void CellBlock::setColumnWidth(double width) {
  if (!(width >= 0 && width <= kMaxColumnWidth))
    throw sheetError(fmt::format("A column width is from 0 to {} characters", kMaxColumnWidth));
  for (int c = rect_.firstColumn; c <= rect_.lastColumn; ++c) {
    ColumnInfo& column = sheet_.column(c);
    column.width = width;
    column.customWidth = true;
    column.bestFit = false;
  }
}

std::optional<double> CellBlock::columnWidth() const {
  double width = sheet_.column(rect_.firstColumn).width;
  for (int c = rect_.firstColumn + 1; c <= rect_.lastColumn; ++c)
    if (sheet_.column(c).width != width) return std::nullopt;
  return width;
}

void CellBlock::autoFit() {
  const int lastRow = std::min(rect_.lastRow, sheet_.rowSpan() - 1);
  // Report columns repeat their numbers: the width of each is remembered
  // by its bits and its look, in a small table that forgets on collision.
  struct Remembered {
    std::uint64_t bits = 0;
    std::uint32_t style = 0xFFFFFFFF;
    double width = 0;
  };
  std::array<Remembered, 256> remembered{};
  std::string text;
  for (int c = rect_.firstColumn; c <= rect_.lastColumn; ++c) {
    double widest = -1;
    for (int r = rect_.firstRow; r <= lastRow; ++r) {
      sheet_.prefetch(r + kRowsAhead, c);
      const Cell* cell = sheet_.find(r, c);
      if (!cell || !cell->hasValue()) continue;
      if (cell->kind == Cell::Kind::Text && book_.displayFormat(cell->style.numberFormat).showsTextAsIs()) {
        widest = std::max(widest, textWidth(cell->text, cell->style.bold));
        continue;
      }
      if (cell->kind == Cell::Kind::Number) {
        auto bits = std::bit_cast<std::uint64_t>(cell->number);
        std::uint32_t style = cell->style.key();
        Remembered& slot = remembered[(bits ^ (bits >> 29) ^ style) & 0xFF];
        if (slot.bits != bits || slot.style != style) {
          text = displayedText(book_, *cell);
          slot = {bits, style, textWidth(text, cell->style.bold)};
        }
        widest = std::max(widest, slot.width);
        continue;
      }
      text = displayedText(book_, *cell);
      widest = std::max(widest, textWidth(text, cell->style.bold));
    }
    ColumnInfo& column = sheet_.column(c);
    if (widest < 0) {
      column.width = kStandardColumnWidth;
      column.customWidth = false;
      column.bestFit = false;
    } else {
      column.width = fittedWidth(widest);
      column.customWidth = true;
      column.bestFit = true;
    }
  }
}

}  // namespace quill::spreadsheet
