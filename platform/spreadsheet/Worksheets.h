#pragma once

#include "platform/automation/MemberTable.h"
#include "platform/spreadsheet/WorkbookState.h"

namespace quill::spreadsheet {

// The sheets of a workbook in tab order: Count, Item(index or name) (the
// default member), Add (a new sheet before the active one, made active).
class Worksheets : public DispatchObject<Worksheets> {
 public:
  explicit Worksheets(ObjectRef ref) : ref_(std::move(ref)) {}

  static const MemberTable<Worksheets>& members();
  std::string className() const override { return "Sheets"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  ObjectRef ref_;
};

}  // namespace quill::spreadsheet
