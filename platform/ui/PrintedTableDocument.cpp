#include "platform/ui/PrintedTableDocument.h"

#include <algorithm>
#include <array>

namespace quill::ui {

namespace {

CellAlignment alignmentOf(GridColumn::Align align) {
  switch (align) {
    case GridColumn::Align::Center:
      return CellAlignment::Center;
    case GridColumn::Align::Right:
      return CellAlignment::Right;
    default:
      return CellAlignment::Left;
  }
}

}  // namespace

TableDocument tableDocumentOf(const PrintedTable& table, std::string title) {
  TableDocument document;
  document.title = std::move(title);
  int totalWidth = 0;
  for (const auto& column : table.columns) {
    document.columns.push_back({column.caption, std::max(column.widthTwips, 1), alignmentOf(column.align)});
    totalWidth += column.widthTwips;
  }
  // A grid wider than a portrait page reads better across the page.
  document.landscape = totalWidth > 10000;

  std::array<std::int32_t, kMaxTableGroupLevels> current{-1, -1};
  for (const auto& row : table.rows) {
    if (row.headingLevel >= 0) {
      const int level = std::min(row.headingLevel, kMaxTableGroupLevels - 1);
      document.groupLevels = std::max(document.groupLevels, level + 1);
      current[static_cast<std::size_t>(level)] = static_cast<std::int32_t>(document.groups.size());
      for (int deeper = level + 1; deeper < kMaxTableGroupLevels; ++deeper)
        current[static_cast<std::size_t>(deeper)] = -1;
      document.groups.push_back({row.cells.empty() ? std::string() : row.cells.front().text, {}});
      continue;
    }
    TableRow out;
    out.groups = current;
    out.cells.reserve(document.columns.size());
    for (std::size_t c = 0; c < document.columns.size(); ++c)
      out.cells.emplace_back(c < row.cells.size() ? row.cells[c].text : std::string());
    document.rows.push_back(std::move(out));
  }
  return document;
}

}  // namespace quill::ui
