#pragma once

#include "platform/automation/MemberTable.h"
#include "platform/spreadsheet/CellAddress.h"
#include "platform/spreadsheet/CellBlock.h"
#include "platform/spreadsheet/WorkbookState.h"

namespace quill::spreadsheet {

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
};

// The font of a range: Bold and Italic (Null when its cells differ).
class Font : public DispatchObject<Font> {
 public:
  explicit Font(std::shared_ptr<Range> range) : range_(std::move(range)) {}

  static const MemberTable<Font>& members();
  std::string className() const override { return "Font"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  std::shared_ptr<Range> range_;
};

}  // namespace quill::spreadsheet
