#include "erp/api/DocumentLines.h"

#include "erp/api/DocumentLine.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

std::shared_ptr<DocumentLine> DocumentLines::item(std::int32_t index) const {
  if (index < 1 || index > static_cast<std::int32_t>(items_.size()))
    throw vbError(vberr::SubscriptOutOfRange, "DocumentosGcLinhas");
  return items_[static_cast<std::size_t>(index - 1)];
}

const MemberTable<DocumentLines>& DocumentLines::members() {
  using Args = MemberTable<DocumentLines>::Args;
  static const auto table =
      MemberTable<DocumentLines>()
          .property("Count", [](DocumentLines& l, Args) { return Variant(static_cast<std::int32_t>(l.items_.size())); })
          .method(
              "Item", [](DocumentLines& l, Args a) { return Variant(DispatchPtr(l.item(vb::CLng(a[0])))); },
              Arity::exactly(1));
  return table;
}

}  // namespace quill::erpapi
