#pragma once

#include <string>

namespace quill::ui {

// How a grid shows one column of its recordset. Widths are in twips, as the
// system gives them (15 twips a pixel).
struct GridColumn {
  enum class Align { Auto, Left, Center, Right };

  std::string field;    // the recordset field, or kMarkColumn
  std::string caption;  // the heading text
  int widthTwips = 1200;
  std::string format;  // a VB Format pattern for display ("#,###.###0", "dd-mm-yyyy"); empty: as text
  bool hidden = false;
  bool readOnly = false;
  Align align = Align::Auto;  // Auto: numbers right, the rest left

  bool isMark() const;
};

// The key of the row-mark column: a check box per row, independent of the
// record, lost when the grid is bound again.
inline constexpr const char* kMarkColumn = "CheckBox";

inline constexpr int kTwipsPerPixel = 15;
inline int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

}  // namespace quill::ui
