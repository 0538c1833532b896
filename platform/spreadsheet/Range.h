#pragma once

#include <memory>

#include "platform/automation/MemberTable.h"
#include "platform/spreadsheet/CellAddress.h"
#include "platform/spreadsheet/CellBlock.h"
#include "platform/spreadsheet/WorkbookState.h"

namespace quill::spreadsheet {

class Font;

// A block of cells of a sheet: Value (the default member, also Value2),
// Text, NumberFormat, Font, HorizontalAlignment (xlLeft, xlCenter, xlRight,
// xlGeneral...), ColumnWidth, AutoFit, Select, Activate, Row, Column,
// Count, Columns([k]), EntireColumn, Cells(row, column) within the block.
//
// AutoFit works on columns: a range of whole columns (Columns(k),
// EntireColumn) fits them to all their cells, the Columns of a smaller
// block to the block's rows; on any other range it fails with 1004.
class Range : public DispatchObject<Range> {
 public:
  Range(ObjectRef ref, const CellRect& rect, bool columns) : ref_(std::move(ref)), rect_(rect), columns_(columns) {}

  static const MemberTable<Range>& members();
  std::string className() const override { return "Range"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  const ObjectRef& ref() const { return ref_; }
  const CellRect& rect() const { return rect_; }
  // Points an object nobody else holds at other cells.
  void reuse(const CellRect& rect, bool columns) {
    rect_ = rect;
    columns_ = columns;
  }
  CellBlock block() const { return CellBlock(ref_.book->data, *ref_.sheet, rect_); }
  // A change made through this range: the workbook has unsaved changes.
  CellBlock changing() const {
    ref_.book->saved = false;
    return block();
  }

 private:
  ObjectRef ref_;
  CellRect rect_;
  bool columns_;  // handed out as columns (Columns, EntireColumn)
  std::shared_ptr<Font> spareFont_;
};

// The font of a range: Bold and Italic (Null when its cells differ).
class Font : public DispatchObject<Font> {
 public:
  Font(ObjectRef ref, const CellRect& rect) : ref_(std::move(ref)), rect_(rect) {}

  static const MemberTable<Font>& members();
  std::string className() const override { return "Font"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  void reuse(const CellRect& rect) { rect_ = rect; }

 private:
  CellBlock block() const { return CellBlock(ref_.book->data, *ref_.sheet, rect_); }

  ObjectRef ref_;
  CellRect rect_;
};

// An export asks for a cell, sets a few of its properties and lets it go
// before it asks for the next: the object it let go serves the next cell
// instead of a new one. `spare` is the last object handed out.
template <class T, class Point, class... Make>
std::shared_ptr<T> reuseOrMake(std::shared_ptr<T>& spare, Point point, Make&&... make) {
  if (spare && spare.use_count() == 1) {
    point(*spare);
    return spare;
  }
  spare = std::make_shared<T>(std::forward<Make>(make)...);
  return spare;
}

}  // namespace quill::spreadsheet
