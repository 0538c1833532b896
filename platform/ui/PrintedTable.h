#pragma once

#include <string>
#include <vector>

#include "platform/ui/GridColumn.h"

namespace quill::ui {

// What a grid shows, as a plain table to print: the shown columns with
// their captions, widths and alignment, and every row's displayed texts,
// group headings as rows of their own.
struct PrintedTable {
  struct Column {
    std::string caption;
    int widthTwips = 0;
    GridColumn::Align align = GridColumn::Align::Auto;
  };
  struct Cell {
    std::string text;
    bool bold = false;
    GridColumn::Align align = GridColumn::Align::Auto;
  };
  struct Row {
    int headingLevel = -1;  // -1: a data row; 0, 1: a group heading (one cell)
    std::vector<Cell> cells;
  };
  std::vector<Column> columns;
  std::vector<Row> rows;
};

}  // namespace quill::ui
