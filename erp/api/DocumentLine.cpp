#include "erp/api/DocumentLine.h"

#include "platform/sql/FieldValues.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

namespace {
using Args = MemberTable<DocumentLine>::Args;

// A read-write member over one field of the line.
template <class Get, class Put>
void field(MemberTable<DocumentLine>& table, std::string_view name, Get get, Put put) {
  table.property(
      name, [get](DocumentLine& line, Args) { return Variant(get(line.values())); },
      [put](DocumentLine& line, Args a) { put(line.values(), a.back()); });
}
}  // namespace

const MemberTable<DocumentLine>& DocumentLine::members() {
  static const auto table = [] {
    MemberTable<DocumentLine> t;
    field(
        t, "TipoDeLinha", [](const erp::LineValues& v) { return std::int16_t(v.type); },
        [](erp::LineValues& v, const Variant& x) { v.type = vb::CInt(x); });
    field(
        t, "Artigo", [](const erp::LineValues& v) { return v.article; },
        [](erp::LineValues& v, const Variant& x) { v.article = sql::textOrEmpty(x); });
    field(
        t, "Descricao", [](const erp::LineValues& v) { return v.description; },
        [](erp::LineValues& v, const Variant& x) { v.description = sql::textOrEmpty(x); });
    field(
        t, "Unidade", [](const erp::LineValues& v) { return v.unit; },
        [](erp::LineValues& v, const Variant& x) { v.unit = sql::textOrEmpty(x); });
    field(
        t, "Quantidade", [](const erp::LineValues& v) { return v.quantity; },
        [](erp::LineValues& v, const Variant& x) { v.quantity = vb::CDbl(x); });
    field(
        t, "QuantidadeOrigem", [](const erp::LineValues& v) { return v.originalQuantity; },
        [](erp::LineValues& v, const Variant& x) { v.originalQuantity = vb::CDbl(x); });
    field(
        t, "PrecoUnitario", [](const erp::LineValues& v) { return v.unitPrice; },
        [](erp::LineValues& v, const Variant& x) { v.unitPrice = vb::CDbl(x); });
    field(
        t, "PrecoUnitarioIntroduzido", [](const erp::LineValues& v) { return v.enteredUnitPrice; },
        [](erp::LineValues& v, const Variant& x) { v.enteredUnitPrice = vb::CDbl(x); });
    field(
        t, "Desconto", [](const erp::LineValues& v) { return v.discount; },
        [](erp::LineValues& v, const Variant& x) { v.discount = sql::textOrEmpty(x); });
    field(
        t, "DescontoValor", [](const erp::LineValues& v) { return v.discountValue; },
        [](erp::LineValues& v, const Variant& x) { v.discountValue = vb::CDbl(x); });
    field(
        t, "TaxaIva", [](const erp::LineValues& v) { return v.vatRate; },
        [](erp::LineValues& v, const Variant& x) { v.vatRate = vb::CDbl(x); });
    field(
        t, "Vendedor", [](const erp::LineValues& v) { return v.seller; },
        [](erp::LineValues& v, const Variant& x) { v.seller = sql::textOrEmpty(x); });
    t.property(
        "Data",
        [](DocumentLine& line, Args) { return line.values_.date ? Variant(*line.values_.date) : Variant::null(); },
        [](DocumentLine& line, Args a) {
          const Variant& x = a.back();
          if (x.isNull() || x.isEmpty())
            line.values_.date.reset();
          else
            line.values_.date = vb::CDate(x);
        });
    field(
        t, "Serie", [](const erp::LineValues& v) { return std::int16_t(v.series); },
        [](erp::LineValues& v, const Variant& x) { v.series = vb::CInt(x); });
    t.property("NumLinha", [](DocumentLine& line, Args) { return Variant(std::int32_t{line.values_.number}); });
    t.property("TotalLiquido", [](DocumentLine& line, Args) { return Variant(line.values_.netTotal); });
    return t;
  }();
  return table;
}

}  // namespace quill::erpapi
