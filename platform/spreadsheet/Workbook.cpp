#include "platform/spreadsheet/Workbook.h"

#include <fmt/format.h>

#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/Arguments.h"
#include "platform/spreadsheet/SheetConstants.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/Worksheets.h"
#include "platform/spreadsheet/XlsWriter.h"
#include "platform/vb/Conversions.h"

namespace quill::spreadsheet {

namespace fs = std::filesystem;

fs::path workbookFileName(std::string_view name) {
  fs::path file(name);
  if (!file.has_extension()) file += ".xls";
  std::error_code ignored;
  fs::path absolute = fs::absolute(file, ignored);
  return absolute.empty() ? file : absolute;
}

Variant Workbook::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  ref_.require();
  return DispatchObject::invoke(member, kind, args);
}

void Workbook::saveAs(const fs::path& file) {
  saveWorkbook97(ref_.book->data, file);
  ref_.book->fullName = file;
  ref_.book->name = file.filename().string();
  ref_.book->saved = true;
}

const MemberTable<Workbook>& Workbook::members() {
  using Args = MemberTable<Workbook>::Args;
  auto sheets = [](Workbook& w, Args a) {
    auto collection = std::make_shared<Worksheets>(w.ref_);
    if (a.empty()) return Variant(DispatchPtr(collection));
    return collection->invoke("Item", CallKind::PropertyGet, a);
  };
  static const auto table =
      MemberTable<Workbook>()
          .property("Name", [](Workbook& w, Args) { return Variant(w.ref_.book->name); })
          .property("FullName",
                    [](Workbook& w, Args) {
                      const auto& full = w.ref_.book->fullName;
                      return Variant(full.empty() ? w.ref_.book->name : full.string());
                    })
          .property("Path", [](Workbook& w, Args) { return Variant(w.ref_.book->fullName.parent_path().string()); })
          .property(
              "Saved", [](Workbook& w, Args) { return Variant(w.ref_.book->saved); },
              [](Workbook& w, Args a) { w.ref_.book->saved = vb::CBool(a.back()); })
          .property(
              "ActiveSheet",
              [](Workbook& w, Args) {
                auto& data = w.ref_.book->data;
                return Variant(worksheetObject({w.ref_.app, w.ref_.book, data.sheets()[data.activeSheet()].get()}));
              })
          .property("Worksheets", sheets)
          .property("Sheets", sheets)
          .sub(
              "SaveAs",
              [](Workbook& w, Args a) {
                std::string name = vb::CStr(a[0]);
                if (name.empty()) throw sheetError("SaveAs needs the name of the file to write");
                if (!isMissing(a, 1)) {
                  std::int32_t format = vb::CLng(a[1]);
                  if (format != xlExcel8 && format != xlWorkbookNormal)
                    throw sheetError(fmt::format(
                        "This workbook can only be saved in the 97-2003 format (file format {}), not in file format {}",
                        xlExcel8, format));
                }
                w.saveAs(workbookFileName(name));
              },
              Arity{1, 12})
          .sub(
              "Save",
              [](Workbook& w, Args) {
                if (w.ref_.book->fullName.empty())
                  throw sheetError("The workbook '" + w.ref_.book->name + "' has no file yet: save it with SaveAs");
                w.saveAs(w.ref_.book->fullName);
              },
              Arity::exactly(0))
          .sub(
              "Close",
              [](Workbook& w, Args a) {
                if (!isMissing(a, 0) && vb::CBool(a[0])) {
                  if (!isMissing(a, 1))
                    w.saveAs(workbookFileName(vb::CStr(a[1])));
                  else if (!w.ref_.book->fullName.empty())
                    w.saveAs(w.ref_.book->fullName);
                  else
                    throw sheetError("The workbook '" + w.ref_.book->name + "' has no file to be saved to");
                }
                w.ref_.app->closeWorkbook(w.ref_.book);
              },
              Arity{0, 3})
          .sub(
              "Activate", [](Workbook& w, Args) { w.ref_.app->activate(w.ref_.book); }, Arity::exactly(0));
  return table;
}

}  // namespace quill::spreadsheet
