#include "platform/sql/RecordsetFields.h"

#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/Conversions.h"

namespace quill::sql {

namespace {
using FieldsArgs = MemberTable<RecordsetFields>::Args;
using FieldArgs = MemberTable<RecordsetField>::Args;
}  // namespace

// ---- Fields ----

const MemberTable<RecordsetFields>& RecordsetFields::members() {
  static const auto table =
      MemberTable<RecordsetFields>()
          .property("Count",
                    [](RecordsetFields& f, FieldsArgs) {
                      f.recordset_->requireOpen();
                      return Variant(static_cast<std::int32_t>(f.recordset_->fieldCount()));
                    })
          .property(
              "Item",
              [](RecordsetFields& f, FieldsArgs a) {
                if (a.size() != 1) throw vbError(vberr::WrongArguments, "Fields");
                return Variant(
                    DispatchPtr(std::make_shared<RecordsetField>(f.recordset_, f.recordset_->fieldIndexOf(a[0]))));
              },
              [](RecordsetFields& f, FieldsArgs a) {
                if (a.size() != 2) throw vbError(vberr::WrongArguments, "Fields");
                f.recordset_->setValue(f.recordset_->fieldIndexOf(a[0]), a[1]);
              })
          .sub(
              "Append",
              [](RecordsetFields& f, FieldsArgs a) {
                Field field;
                field.name = vb::CStr(a[0]);
                field.type = static_cast<DataType>(vb::CLng(a[1]));
                if (a.size() > 2 && !a[2].isEmpty()) field.definedSize = vb::CLng(a[2]);
                if (f.recordset_->findField(field.name))
                  throw sqlError(sqlerr::InvalidArgument, "A field named " + field.name + " already exists");
                f.recordset_->appendField(std::move(field));
              },
              Arity{2, 5})
          .sub(
              "Refresh", [](RecordsetFields&, FieldsArgs) {}, Arity::exactly(0));
  return table;
}

Variant RecordsetFields::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  return DispatchObject::invoke(member.empty() ? "Item" : member, kind, args);
}

// ---- Field ----

const MemberTable<RecordsetField>& RecordsetField::members() {
  static const auto table =
      MemberTable<RecordsetField>()
          .property("Name", [](RecordsetField& f, FieldArgs) { return Variant(f.recordset_->field(f.index_).name); })
          .property(
              "Value", [](RecordsetField& f, FieldArgs) { return f.recordset_->value(f.index_); },
              [](RecordsetField& f, FieldArgs a) { f.recordset_->setValue(f.index_, a.back()); })
          .property("Type",
                    [](RecordsetField& f, FieldArgs) {
                      return Variant(static_cast<std::int32_t>(f.recordset_->field(f.index_).type));
                    })
          .property("OriginalValue", [](RecordsetField& f, FieldArgs) { return f.recordset_->originalValue(f.index_); })
          .property("UnderlyingValue",
                    [](RecordsetField& f, FieldArgs) { return f.recordset_->originalValue(f.index_); })
          .property("DefinedSize",
                    [](RecordsetField& f, FieldArgs) { return Variant(f.recordset_->field(f.index_).definedSize); });
  return table;
}

Variant RecordsetField::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  return DispatchObject::invoke(member.empty() ? "Value" : member, kind, args);
}

}  // namespace quill::sql
