#pragma once

#include <filesystem>

#include "platform/automation/MemberTable.h"
#include "platform/spreadsheet/WorkbookState.h"

namespace quill::spreadsheet {

// One open workbook: Name, FullName, Path, Saved, ActiveSheet,
// Worksheets(index) (also Sheets), SaveAs(Filename[, FileFormat]), Save,
// Close([SaveChanges]), Activate.
//
// SaveAs writes the 97–2003 format (file format 56; -4143, its older name,
// is the same) whatever extension the name has, and adds ".xls" to a name
// without one. Any other file format is refused (1004) before anything is
// written. A failed save (a folder that cannot be written, a workbook that
// does not fit the format) is a 1004 naming the file and leaves the files
// in that folder as they were.
class Workbook : public DispatchObject<Workbook> {
 public:
  explicit Workbook(ObjectRef ref) : ref_(std::move(ref)) {}

  static const MemberTable<Workbook>& members();
  std::string className() const override { return "Workbook"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  void saveAs(const std::filesystem::path& file);

 private:
  ObjectRef ref_;
};

// The file name SaveAs writes for the name it is given: ".xls" added when the
// name has no extension, made absolute against the current folder.
std::filesystem::path workbookFileName(std::string_view name);

}  // namespace quill::spreadsheet
