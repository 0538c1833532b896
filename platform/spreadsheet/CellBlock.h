#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"
#include "platform/spreadsheet/CellAddress.h"
#include "platform/spreadsheet/SheetData.h"
#include "platform/spreadsheet/WorkbookData.h"

namespace quill::spreadsheet {

// What a range of a sheet does to its cells, in plain terms: the late-bound
// Range and Font objects are thin over it.
//
// A property put reaches every cell of the block; on whole columns it also
// becomes the look of the cells those columns get later, without making the
// 65,536 cells of each present. A get answers the value of the first cell,
// or a look shared by every cell of the block (Null when they differ).
class CellBlock {
 public:
  CellBlock(WorkbookData& book, SheetData& sheet, const CellRect& rect) : book_(book), sheet_(sheet), rect_(rect) {}

  // Value: text (empty text clears the cell), numbers (Integer, Long,
  // Double), Boolean, Date (a General cell takes the short date form);
  // Empty or Null clears the value and keeps the look. Text longer than a
  // cell holds and anything else (objects, arrays) is refused before a
  // cell changes.
  void setValue(const Variant& value);
  // The same, taking the text over instead of copying it.
  void setValue(Variant&& value);
  Variant value() const;
  // The first cell as the sheet shows it, its number format applied.
  std::string text() const;

  void setNumberFormat(std::string_view code);
  Variant numberFormat() const;  // the code, or Null

  void setBold(bool bold);
  void setItalic(bool italic);
  Variant bold() const;  // Boolean or Null
  Variant italic() const;

  void setAlignment(HorizontalAlignment alignment);
  std::optional<HorizontalAlignment> alignment() const;

  // Column widths in characters (0 to 255) of the block's columns.
  void setColumnWidth(double width);
  std::optional<double> columnWidth() const;
  // Fits each of the block's columns to the widest text its cells in the
  // block's rows show (number formats applied, bold faces wider); a column
  // with nothing to show goes back to the standard width.
  void autoFit();

 private:
  template <class F>
  void restyle(F change);
  void assignValue(const Variant& value, std::string* takeText);
  // The value `get` answers for the look of every cell of the block, or
  // nothing when the cells differ.
  template <class T, class Get>
  std::optional<T> uniform(Get get) const;
  template <class F>
  void forEachStyle(F visit) const;

  WorkbookData& book_;
  SheetData& sheet_;
  CellRect rect_;
};

// The text a cell shows with its number format.
std::string displayedText(const WorkbookData& book, const Cell& cell);

}  // namespace quill::spreadsheet
