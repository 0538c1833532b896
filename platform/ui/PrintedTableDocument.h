#pragma once

#include <string>

#include "platform/ui/PrintedTable.h"
#include "platform/ui/TableDocument.h"

namespace quill::ui {

// What a grid shows, as a document for TablePrinter: its shown columns with
// their captions, widths and alignment, its rows as the texts they show, and
// its heading rows as the groups (up to two levels) the rows fall under,
// under the given title. Nothing is summed.
TableDocument tableDocumentOf(const PrintedTable& table, std::string title);

}  // namespace quill::ui
