#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quill {

namespace ui {
class GridControl;
class UiServices;
}  // namespace ui

// Writes what a report grid shows into a new workbook of the spreadsheet
// application ("Excel.Application", late-bound: the running one, else a new
// one) and saves it in the 97–2003 format (file format 56) under `file`,
// whatever its extension.
//
// Row 1 holds the shown columns' captions in bold; the records follow from
// row 2 in display order (group headings are not written), only the
// current one when `exportOnlySelected`. Sheet column k is the k-th shown
// column. A cell's value is what the grid shows for the record (a
// formatted column's text). Unless `formatCols` says otherwise for a column:
// a numeric value in the grid's column 1 (the client code) is written as
// text ("@") so that leading zeros stay; any other numeric value as a
// number "#.0000", centred; a text as text in bold, italic too from the
// grid's column 6 on. Each column is fitted to its content and aligned as
// the grid aligns it.
//
// `ignoreCols` lists grid columns (their numbers from 0, separated by
// commas or blanks) to leave out; `formatCols`, when given, holds a number
// format per written column ("" keeps the rule above).
//
// The application is quit only when the export started it; a failure
// (a cell past the sheet's limits, a file that cannot be written) closes
// the workbook unsaved, leaves any existing file as it was and passes.
void ExportToExcel(ui::GridControl& grid, const std::filesystem::path& file, bool exportOnlySelected,
                   const std::string& ignoreCols, const std::vector<std::string>* formatCols, ui::UiServices& ui);

}  // namespace quill
