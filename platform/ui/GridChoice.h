#pragma once

#include <cstddef>
#include <optional>

namespace quill::ui {

class GridControl;

// The row a list's user chose, as a position in the grid's recordset: the
// current row, or with none current the only data row shown (Enter in a
// filter that left one row). Nothing when there is neither.
std::optional<std::size_t> chosenPosition(GridControl& grid);

}  // namespace quill::ui
