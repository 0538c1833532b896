#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/MemberTable.h"
#include "platform/automation/RunningObjects.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/WorkbookState.h"

namespace quill::spreadsheet {

// The spreadsheet application object, called late-bound by member name:
// Workbooks, ActiveWorkbook, ActiveSheet, Visible, DisplayAlerts,
// ScreenUpdating, SheetsInNewWorkbook, Quit.
//
// While it runs it stands in this process's running-object table under its
// program id, so GetObject(, "Excel.Application") attaches to it. It runs
// until Quit or until the last reference to it or to any of its objects is
// released; after Quit every call on it or its objects fails with 462, as on
// an application that has ended. Nothing is shown: Visible is kept and
// answered, and DisplayAlerts never stops a call (SaveAs replaces a file
// without asking, Close and Quit drop unsaved changes).
class Application : public DispatchObject<Application> {
  struct Private {};

 public:
  static constexpr std::string_view kProgId = "Excel.Application";

  // A new running application, registered as the running one.
  static std::shared_ptr<Application> create();
  explicit Application(Private) {}

  static const MemberTable<Application>& members();
  std::string className() const override { return "Application"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  void requireRunning() const {
    if (quit_) refuseAfterQuit();
  }
  bool running() const { return !quit_; }
  void quit();

  const std::vector<std::shared_ptr<WorkbookState>>& workbooks() const { return workbooks_; }
  // A new workbook of SheetsInNewWorkbook sheets, made the active one.
  std::shared_ptr<WorkbookState> addWorkbook();
  void closeWorkbook(const std::shared_ptr<WorkbookState>& book);
  std::shared_ptr<WorkbookState> activeWorkbook() const { return active_.lock(); }
  void activate(const std::shared_ptr<WorkbookState>& book) { active_ = book; }

  std::shared_ptr<Application> self() { return std::static_pointer_cast<Application>(shared_from_this()); }

 private:
  [[noreturn]] static void refuseAfterQuit();

  std::vector<std::shared_ptr<WorkbookState>> workbooks_;
  std::weak_ptr<WorkbookState> active_;
  int workbooksAdded_ = 0;
  int sheetsInNewWorkbook_ = 1;
  bool visible_ = false;
  bool displayAlerts_ = true;
  bool screenUpdating_ = true;
  bool quit_ = false;
  ActiveObjectRegistration registration_;
};

// Checked before every call on an object of a workbook, so kept inline.
inline void ObjectRef::require() const {
  app->requireRunning();
  if (book && book->closed) throw disconnectedError();
}

// The late-bound objects of a workbook and of a sheet, for the members
// that hand them out.
DispatchPtr workbookObject(const ObjectRef& ref);
DispatchPtr worksheetObject(const ObjectRef& ref);

// The name a new sheet gets: "Folha" and the first number no sheet has.
std::string newSheetName(const WorkbookData& book);

}  // namespace quill::spreadsheet
