#pragma once

#include <filesystem>
#include <string>

namespace quill::spreadsheet {

class WorkbookData;

// The "Workbook" stream of a 97–2003 workbook (BIFF8) for the given
// contents: the workbook globals (code page 1200, window, four fonts
// regular/bold/italic/bold italic, number formats, cell formats, the Normal
// style, the sheet list, the shared strings), then each sheet (column
// widths, rows, cells, window, selection).
//
// Fails with 1004 before producing anything when the contents do not fit the
// format: more than 4,000 different cell formats, or a stream of 2 GB or more.
std::string buildWorkbookStream(const WorkbookData& book);

// Writes the workbook as a 97–2003 file (file format 56): the stream in a
// compound file, through a temporary file in the same folder renamed over
// `file`, so that a failure leaves no half-written file and an existing file
// as it was. Fails with 1004 naming the file and the reason.
void saveWorkbook97(const WorkbookData& book, const std::filesystem::path& file);

// The most different cell formats a workbook of this format holds.
inline constexpr std::size_t kMaxCellFormats = 4000;

}  // namespace quill::spreadsheet
