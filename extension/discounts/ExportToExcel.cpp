#include "extension/discounts/ExportToExcel.h"

#include <sstream>

#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "platform/automation/RunningObjects.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/FormView.h"
#include "platform/ui/LongWork.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

namespace quill {

namespace {

constexpr const char* kProgId = "Excel.Application";
constexpr std::int32_t kFileFormat97To2003 = 56;
constexpr std::int32_t xlLeft = -4131;
constexpr std::int32_t xlCenter = -4108;
constexpr std::int32_t xlRight = -4152;
// The grid's columns that the rules name: the client code, and the first group cell.
constexpr int kCodeColumn = 1;
constexpr int kFirstItalicColumn = 6;

Variant n(std::int32_t v) { return Variant(v); }

std::vector<int> ignoredColumns(const std::string& ignoreCols) {
  std::string list = ignoreCols;
  for (char& c : list)
    if (c == ',' || c == ';') c = ' ';
  std::istringstream in(list);
  std::vector<int> out;
  for (std::string word; in >> word;) {
    const Variant v(word);
    if (!vb::IsNumeric(v)) throw AutomationError(5, "ExportToExcel", "Invalid column to leave out: " + word);
    out.push_back(vb::CInt(v));
  }
  return out;
}

bool isNumericValue(const Variant& value) {
  if (value.isNull() || value.isEmpty()) return false;
  if (!value.isString()) return value.isNumeric();
  return !value.stringValue().empty() && vb::IsNumeric(value);
}

std::int32_t sheetAlignment(ui::GridColumn::Align align) {
  switch (align) {
    case ui::GridColumn::Align::Center:
      return xlCenter;
    case ui::GridColumn::Align::Right:
      return xlRight;
    default:
      return xlLeft;
  }
}

// The application to work in, and whether this export started it.
struct Attached {
  DispatchPtr app;
  bool started = false;
};

Attached attachOrCreate() {
  try {
    return {getActiveObject(kProgId), false};
  } catch (const AutomationError&) {
    return {createObject(kProgId), true};
  }
}

}  // namespace

void ExportToExcel(ui::GridControl& grid, const std::filesystem::path& file, bool exportOnlySelected,
                   const std::string& ignoreCols, const std::vector<std::string>* formatCols, ui::UiServices& ui) {
  ui::RecordsetTableModel& model = grid.model();
  const auto ignored = ignoredColumns(ignoreCols);

  // The shown columns, with the recordset field each reads.
  struct Written {
    int gridColumn;
    std::size_t field;
  };
  std::vector<Written> columns;
  const auto& gridColumns = model.columns();
  for (std::size_t i = 0; i < gridColumns.size(); ++i) {
    const auto& c = gridColumns[i];
    if (c.hidden || c.isMark()) continue;
    if (std::find(ignored.begin(), ignored.end(), static_cast<int>(i)) != ignored.end()) continue;
    columns.push_back({static_cast<int>(i), model.recordset()->fieldIndex(c.field)});
  }
  std::vector<std::size_t> positions;
  if (exportOnlySelected) {
    if (auto p = model.positionOf(grid.currentRow())) positions.push_back(*p);
  } else {
    for (int r = 0; r < model.rowCount(); ++r)
      if (auto p = model.positionOf(r)) positions.push_back(*p);
  }

  Attached attached = attachOrCreate();
  DispatchPtr book;
  try {
    book = late::call(late::get(attached.app, "Workbooks").objectValue(), "Add").objectValue();
    auto sheet = late::get(book, "ActiveSheet").objectValue();
    auto cell = [&sheet](std::int32_t row, std::int32_t column) {
      return late::get(sheet, "Cells", {n(row), n(column)}).objectValue();
    };

    // Each column takes the grid's alignment before its cells are written,
    // so that the centred numbers stay centred: aligning a whole column
    // afterwards would align every cell in it the same way.
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const auto& column = gridColumns[static_cast<std::size_t>(columns[k].gridColumn)];
      late::let(late::get(sheet, "Columns", {n(static_cast<std::int32_t>(k + 1))}).objectValue(), "HorizontalAlignment",
                n(sheetAlignment(column.align)));
    }

    ui::LongWork work(ui, "Descontos Cliente-Grupo", positions.size());
    const sql::Recordset& rs = *model.recordset();
    std::int32_t row = 2;
    for (std::size_t position : positions) {
      for (std::size_t k = 0; k < columns.size(); ++k) {
        const auto& column = gridColumns[static_cast<std::size_t>(columns[k].gridColumn)];
        Variant value = rs.valueAt(position, columns[k].field);
        if (!column.format.empty()) value = Variant(vb::Format(value, column.format));
        auto target = cell(row, static_cast<std::int32_t>(k + 1));
        const std::string* format =
            formatCols && k < formatCols->size() && !(*formatCols)[k].empty() ? &(*formatCols)[k] : nullptr;
        if (format) {
          late::let(target, "NumberFormat", *format);
          late::let(target, "Value", value);
        } else if (isNumericValue(value) && columns[k].gridColumn == kCodeColumn) {
          late::let(target, "NumberFormat", "@");
          late::let(target, "Value", vb::CStr(value));
        } else if (isNumericValue(value)) {
          late::let(target, "NumberFormat", "#.0000");
          late::let(target, "Value", vb::CDbl(value));
          late::let(target, "HorizontalAlignment", n(xlCenter));
        } else {
          late::let(target, "NumberFormat", "@");
          late::let(target, "Value", Variant(value.isString() ? value.stringValue() : std::string()));
          auto font = late::get(target, "Font").objectValue();
          late::let(font, "Bold", true);
          if (columns[k].gridColumn >= kFirstItalicColumn) late::let(font, "Italic", true);
        }
      }
      ++row;
      work.next();
    }

    for (std::size_t k = 0; k < columns.size(); ++k) {
      const auto& column = gridColumns[static_cast<std::size_t>(columns[k].gridColumn)];
      auto heading = cell(1, static_cast<std::int32_t>(k + 1));
      late::let(heading, "Value", column.caption);
      late::let(late::get(heading, "Font").objectValue(), "Bold", true);
      auto sheetColumn = late::get(sheet, "Columns", {n(static_cast<std::int32_t>(k + 1))}).objectValue();
      late::call(sheetColumn, "AutoFit");
    }
    late::call(late::get(sheet, "Range", {Variant("A1")}).objectValue(), "Select");
    late::call(book, "SaveAs", {Variant(file.string()), n(kFileFormat97To2003)});
    late::call(book, "Close", {Variant(false)});
  } catch (...) {
    // Nothing half-done stays behind: the workbook goes unsaved, and an
    // application this export started goes with it.
    try {
      if (book) late::call(book, "Close", {Variant(false)});
    } catch (const std::exception&) {
    }
    try {
      if (attached.started) late::call(attached.app, "Quit");
    } catch (const std::exception&) {
    }
    throw;
  }
  if (attached.started) late::call(attached.app, "Quit");
}

}  // namespace quill
