#pragma once

#include <memory>

#include "platform/automation/MemberTable.h"
#include "platform/spreadsheet/CellAddress.h"
#include "platform/spreadsheet/WorkbookState.h"

namespace quill::spreadsheet {

class Range;

// One sheet of a workbook: Name, Index, Cells(row, column) (a column also by
// its letters), Range("A1") or Range("A1:C3") or Range(cell1, cell2),
// Columns(k) or Columns("B") or Columns("A:C"), Select, Activate.
// `ws.Cells(r, c) = v` and `ws.Range("A1") = v` set the cell's value.
//
// A row or column past the sheet's 65,536 rows and 256 columns is refused
// with 1004 when the range is asked for, so nothing is ever written there.
class Worksheet : public DispatchObject<Worksheet> {
 public:
  explicit Worksheet(ObjectRef ref) : ref_(std::move(ref)) {}

  static const MemberTable<Worksheet>& members();
  std::string className() const override { return "Worksheet"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  const ObjectRef& ref() const { return ref_; }

 private:
  DispatchPtr range(const CellRect& rect, bool columns = false);
  CellRect rangeArgument(const Variant& value) const;

  ObjectRef ref_;
  std::shared_ptr<Range> spareRange_;
};

// Checks a sheet name: 1 to 31 characters, none of : \ / ? * [ ], and no
// other sheet of the workbook named the same (without regard to case).
void checkSheetName(const WorkbookData& book, const SheetData* sheet, std::string_view name);

}  // namespace quill::spreadsheet
