#pragma once

#include <memory>

#include "platform/automation/MemberTable.h"

namespace quill::sql {

class Recordset;

// The late-bound Fields collection of a recordset: Count, Item(name or
// 0-based index) (also the default member), Append(name, type[, size]).
class RecordsetFields : public DispatchObject<RecordsetFields> {
 public:
  explicit RecordsetFields(std::shared_ptr<Recordset> recordset) : recordset_(std::move(recordset)) {}

  static const MemberTable<RecordsetFields>& members();
  std::string className() const override { return "Fields"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  std::shared_ptr<Recordset> recordset_;
};

// One late-bound Field of a recordset. It follows the recordset's current
// row, as ADO's Field objects do: Name, Value (the default member, read and
// written), Type (ADO type number), OriginalValue, DefinedSize.
class RecordsetField : public DispatchObject<RecordsetField> {
 public:
  RecordsetField(std::shared_ptr<Recordset> recordset, std::size_t index)
      : recordset_(std::move(recordset)), index_(index) {}

  static const MemberTable<RecordsetField>& members();
  std::string className() const override { return "Field"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  std::shared_ptr<Recordset> recordset_;
  std::size_t index_;
};

}  // namespace quill::sql
