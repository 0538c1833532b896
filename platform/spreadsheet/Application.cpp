#include "platform/spreadsheet/Application.h"

#include <algorithm>

#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/Workbook.h"
#include "platform/spreadsheet/Workbooks.h"
#include "platform/spreadsheet/Worksheet.h"
#include "platform/vb/Conversions.h"

namespace quill::spreadsheet {

std::size_t ObjectRef::sheetIndex() const {
  const auto& sheets = book->data.sheets();
  for (std::size_t i = 0; i < sheets.size(); ++i)
    if (sheets[i].get() == sheet) return i;
  return 0;
}

void ObjectRef::activateSheet() const {
  book->data.setActiveSheet(sheetIndex());
  app->activate(book);
}

DispatchPtr workbookObject(const ObjectRef& ref) { return std::make_shared<Workbook>(ref); }
DispatchPtr worksheetObject(const ObjectRef& ref) { return std::make_shared<Worksheet>(ref); }

std::string newSheetName(const WorkbookData& book) {
  for (int n = 1;; ++n) {
    std::string name = "Folha" + std::to_string(n);
    bool taken = std::any_of(book.sheets().begin(), book.sheets().end(),
                             [&](const auto& s) { return equalsNoCase(s->name(), name); });
    if (!taken) return name;
  }
}

std::shared_ptr<Application> Application::create() {
  auto app = std::make_shared<Application>(Private{});
  app->registration_ = ActiveObjectRegistration(std::string(kProgId), app);
  return app;
}

void Application::refuseAfterQuit() { throw vbError(vberr::ServerUnavailable, kErrorSource); }

Variant Application::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  requireRunning();
  return DispatchObject::invoke(member, kind, args);
}

void Application::quit() {
  for (auto& book : workbooks_) book->closed = true;
  workbooks_.clear();
  active_.reset();
  quit_ = true;
  registration_.revoke();
}

std::shared_ptr<WorkbookState> Application::addWorkbook() {
  auto book = std::make_shared<WorkbookState>();
  book->name = "Livro" + std::to_string(++workbooksAdded_);
  for (int i = 0; i < sheetsInNewWorkbook_; ++i)
    book->data.addSheet(newSheetName(book->data), book->data.sheets().size());
  workbooks_.push_back(book);
  active_ = book;
  return book;
}

void Application::closeWorkbook(const std::shared_ptr<WorkbookState>& book) {
  book->closed = true;
  auto it = std::find(workbooks_.begin(), workbooks_.end(), book);
  if (it == workbooks_.end()) return;
  workbooks_.erase(it);
  if (active_.lock() == book || active_.expired())
    active_ = workbooks_.empty() ? std::weak_ptr<WorkbookState>() : workbooks_.back();
}

const MemberTable<Application>& Application::members() {
  using Args = MemberTable<Application>::Args;
  static const auto table =
      MemberTable<Application>()
          .property("Workbooks",
                    [](Application& app, Args a) {
                      auto workbooks = std::make_shared<Workbooks>(app.self());
                      if (a.empty()) return Variant(DispatchPtr(workbooks));
                      return workbooks->invoke("Item", CallKind::PropertyGet, a);
                    })
          .property("ActiveWorkbook",
                    [](Application& app, Args) {
                      auto book = app.activeWorkbook();
                      return Variant(book ? workbookObject({app.self(), book}) : DispatchPtr());
                    })
          .property("ActiveSheet",
                    [](Application& app, Args) {
                      auto book = app.activeWorkbook();
                      if (!book || book->data.sheets().empty()) return Variant(DispatchPtr());
                      return Variant(
                          worksheetObject({app.self(), book, book->data.sheets()[book->data.activeSheet()].get()}));
                    })
          .property(
              "Visible", [](Application& app, Args) { return Variant(app.visible_); },
              [](Application& app, Args a) { app.visible_ = vb::CBool(a.back()); })
          .property(
              "DisplayAlerts", [](Application& app, Args) { return Variant(app.displayAlerts_); },
              [](Application& app, Args a) { app.displayAlerts_ = vb::CBool(a.back()); })
          .property(
              "ScreenUpdating", [](Application& app, Args) { return Variant(app.screenUpdating_); },
              [](Application& app, Args a) { app.screenUpdating_ = vb::CBool(a.back()); })
          .property(
              "SheetsInNewWorkbook",
              [](Application& app, Args) { return Variant(static_cast<std::int32_t>(app.sheetsInNewWorkbook_)); },
              [](Application& app, Args a) {
                std::int32_t n = vb::CLng(a.back());
                if (n < 1 || n > 255) throw sheetError("A new workbook has from 1 to 255 sheets");
                app.sheetsInNewWorkbook_ = n;
              })
          .sub(
              "Quit", [](Application& app, Args) { app.quit(); }, Arity::exactly(0));
  return table;
}

}  // namespace quill::spreadsheet
