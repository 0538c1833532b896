#include "platform/spreadsheet/Worksheets.h"

#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/Arguments.h"

namespace quill::spreadsheet {

Variant Worksheets::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  ref_.require();
  return DispatchObject::invoke(member.empty() ? "Item" : member, kind, args);
}

const MemberTable<Worksheets>& Worksheets::members() {
  using Args = MemberTable<Worksheets>::Args;
  static const auto table =
      MemberTable<Worksheets>()
          .property("Count", [](Worksheets& w,
                                Args) { return Variant(static_cast<std::int32_t>(w.ref_.book->data.sheets().size())); })
          .property("Item",
                    [](Worksheets& w, Args a) {
                      if (a.size() != 1) throw vbError(vberr::WrongArguments, "Sheets");
                      auto& sheets = w.ref_.book->data.sheets();
                      std::size_t i = itemArgument(
                          a[0], sheets.size(), [&](std::size_t k) { return sheets[k]->name(); }, "Sheets");
                      return Variant(worksheetObject({w.ref_.app, w.ref_.book, sheets[i].get()}));
                    })
          .method(
              "Add",
              [](Worksheets& w, Args) {
                auto& data = w.ref_.book->data;
                std::size_t at = data.activeSheet();
                SheetData& sheet = data.addSheet(newSheetName(data), at);
                data.setActiveSheet(at);
                w.ref_.book->saved = false;
                return Variant(worksheetObject({w.ref_.app, w.ref_.book, &sheet}));
              },
              Arity{0, 4});
  return table;
}

}  // namespace quill::spreadsheet
