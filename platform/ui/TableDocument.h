#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/automation/Variant.h"

namespace quill::ui {

// A table to print, described as plain data: the title and the lines under
// it, the columns, the rows with their values, up to two levels of grouping
// and the totals. TablePrinter lays it out on pages; nothing here knows where
// the rows came from.

enum class CellAlignment { Left, Center, Right };

struct TableColumn {
  std::string caption;
  // At 1440 twips an inch. The table fills the width of the page, its
  // columns in the proportions of their widths.
  int widthTwips = 1440;
  CellAlignment alignment = CellAlignment::Left;
  // VB display format of the values ("#,##0.00", "dd-mm-yyyy"); empty shows
  // a value as VB's CStr does, and text as it is.
  std::string format;
  // Its values add up into the group totals and the table's total.
  bool summed = false;
};

// One group at one level: a heading above its rows and a total line below.
struct TableGroup {
  std::string heading;
  std::string totalCaption;  // empty: no total line for this group
};

inline constexpr int kMaxTableGroupLevels = 2;

struct TableRow {
  std::vector<Variant> cells;  // one a column
  // For each grouping level, outermost first, the index in
  // TableDocument::groups of the group the row belongs to. The rows of a
  // group are consecutive: a new index opens a new group.
  std::array<std::int32_t, kMaxTableGroupLevels> groups{-1, -1};
};

struct TableDocument {
  std::string title;
  std::vector<std::string> headerLines;  // under the title on every page (criteria, a subtitle)
  std::vector<TableColumn> columns;
  int groupLevels = 0;  // 0 to kMaxTableGroupLevels
  std::vector<TableGroup> groups;
  std::vector<TableRow> rows;
  std::string totalCaption;  // the table's total line; empty: none
  std::string emptyText;     // shown when there are no rows
  bool landscape = false;
};

// The text of a cell: its value through the column's display format. Null
// and Empty show nothing.
std::string cellText(const TableColumn& column, const Variant& value);

// What a value adds to a total: numbers and dates as numbers, text that VB
// reads as a number likewise; anything else adds nothing.
double cellAmount(const Variant& value);

}  // namespace quill::ui
