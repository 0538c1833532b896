#include "platform/spreadsheet/Workbooks.h"

#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/Arguments.h"

namespace quill::spreadsheet {

Variant Workbooks::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  app_->requireRunning();
  return DispatchObject::invoke(member.empty() ? "Item" : member, kind, args);
}

const MemberTable<Workbooks>& Workbooks::members() {
  using Args = MemberTable<Workbooks>::Args;
  static const auto table =
      MemberTable<Workbooks>()
          .property("Count",
                    [](Workbooks& w, Args) { return Variant(static_cast<std::int32_t>(w.app_->workbooks().size())); })
          .property("Item",
                    [](Workbooks& w, Args a) {
                      if (a.size() != 1) throw vbError(vberr::WrongArguments, "Workbooks");
                      const auto& books = w.app_->workbooks();
                      std::size_t i = itemArgument(
                          a[0], books.size(), [&](std::size_t k) { return books[k]->name; }, "Workbooks");
                      return Variant(workbookObject({w.app_, books[i]}));
                    })
          .method(
              "Add",
              [](Workbooks& w, Args) {
                return Variant(workbookObject({w.app_, w.app_->addWorkbook()}));
              },
              Arity{0, 1})
          .sub(
              "Close",
              [](Workbooks& w, Args) {
                auto books = w.app_->workbooks();
                for (auto& book : books) w.app_->closeWorkbook(book);
              },
              Arity::exactly(0));
  return table;
}

}  // namespace quill::spreadsheet
