#include "erp/api/DocumentHeader.h"

#include "platform/sql/FieldValues.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

namespace {
using Args = MemberTable<DocumentHeader>::Args;
}  // namespace

const MemberTable<DocumentHeader>& DocumentHeader::members() {
  static const auto table =
      MemberTable<DocumentHeader>()
          .property("TipoDoc", [](DocumentHeader& h, Args) { return Variant(h.values_.key.type); })
          .property(
              "Serie", [](DocumentHeader& h, Args) { return Variant(std::int16_t(h.values_.key.series)); },
              [](DocumentHeader& h, Args a) { h.values_.key.series = vb::CInt(a.back()); })
          .property("NumDoc", [](DocumentHeader& h, Args) { return Variant(h.values_.key.number); })
          .property("Ano", [](DocumentHeader& h, Args) { return Variant(std::int16_t(h.values_.key.year)); })
          .property(
              "Data",
              [](DocumentHeader& h, Args) { return h.values_.date ? Variant(*h.values_.date) : Variant::null(); },
              [](DocumentHeader& h, Args a) {
                if (a.back().isNull() || a.back().isEmpty())
                  h.values_.date.reset();
                else
                  h.values_.date = vb::CDate(a.back());
              })
          .property(
              "Terceiro", [](DocumentHeader& h, Args) { return Variant(h.values_.client); },
              [](DocumentHeader& h, Args a) { h.values_.client = sql::textOrEmpty(a.back()); })
          .property("Nome", [](DocumentHeader& h, Args) { return Variant(h.values_.clientName); })
          .property(
              "Moeda", [](DocumentHeader& h, Args) { return Variant(h.values_.currency); },
              [](DocumentHeader& h, Args a) { h.values_.currency = sql::textOrEmpty(a.back()); })
          .property(
              "Expedicao", [](DocumentHeader& h, Args) { return Variant(h.values_.dispatch); },
              [](DocumentHeader& h, Args a) { h.values_.dispatch = sql::textOrEmpty(a.back()); })
          .property("Vendedor", [](DocumentHeader& h, Args) { return Variant(h.values_.seller); })
          .property("TotalMercadoria", [](DocumentHeader& h, Args) { return Variant(h.values_.goodsTotal); })
          .property("TotalDescontos", [](DocumentHeader& h, Args) { return Variant(h.values_.discountTotal); })
          .property("TotalIva", [](DocumentHeader& h, Args) { return Variant(h.values_.vatTotal); })
          .property("TotalDocumento", [](DocumentHeader& h, Args) { return Variant(h.values_.documentTotal); });
  return table;
}

}  // namespace quill::erpapi
