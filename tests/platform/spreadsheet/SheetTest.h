#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/automation/Dispatch.h"
#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/SheetConstants.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::spreadsheet::testing {

inline Variant n(std::int32_t v) { return Variant(v); }

// A running application with one new workbook, reached as a caller reaches
// it: late-bound, by member name. The application quits afterwards.
class SheetTest : public ::testing::Test {
 protected:
  SheetTest() {
    app_ = Application::create();
    book_ = late::call(late::get(app_, "Workbooks").objectValue(), "Add").objectValue();
    sheet_ = late::get(book_, "ActiveSheet").objectValue();
  }
  ~SheetTest() override {
    if (app_->running()) late::call(app_, "Quit");
  }

  DispatchPtr cells(std::int32_t row, Variant column) {
    return late::get(sheet_, "Cells", {n(row), std::move(column)}).objectValue();
  }
  DispatchPtr cells(std::int32_t row, std::int32_t column) { return cells(row, n(column)); }
  DispatchPtr column(std::int32_t k) { return late::get(sheet_, "Columns", {n(k)}).objectValue(); }
  DispatchPtr font(const DispatchPtr& range) { return late::get(range, "Font").objectValue(); }
  void saveAs(const std::filesystem::path& file) { late::call(book_, "SaveAs", {file.string(), n(xlExcel8)}); }

  quill::testing::TempFolder folder_;
  std::shared_ptr<Application> app_;
  DispatchPtr book_;
  DispatchPtr sheet_;
};

}  // namespace quill::spreadsheet::testing
