#pragma once

#include <string>
#include <vector>

#include "platform/ui/TableDocument.h"

namespace quill {

class ReportFile;
namespace sql {
class Recordset;
}

// The table a report prints: its file's title, criteria, columns, groups
// and totals over the visible rows of a recordset, in the recordset's order.
// `parameters` are the values the report is printed with (element n is
// parameter n); without them the criteria lines that name a parameter are
// left out. A field the file names and the rows do not have fails with a
// ReportError at the file's line. The recordset's current row is kept.
ui::TableDocument reportTable(const ReportFile& report, sql::Recordset& rows,
                              const std::vector<std::string>* parameters);

}  // namespace quill
