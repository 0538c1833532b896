#pragma once

#include <QDateTime>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/TableDocument.h"

class QPageLayout;
class QPagedPaintDevice;

namespace quill::ui {

// Prints a TableDocument on pages in a plain business look: on every page
// the title, the header lines and the print date, then the column headings;
// the rows across the page width in a readable sans font with light banding; group headings, group
// totals and the table's total; "Página n de m" at the foot. A page that
// starts inside a group repeats the group's heading, marked as continued; a
// heading never ends a page alone. Cells too long for their column are cut
// with an ellipsis, never drawn over the next one.
//
// The layout is worked out in two steps, so that the page count is known
// before the first page is painted: the lines of the table (headings, rows,
// totals) do not depend on the page, their breaks into pages do.
class TablePrinter {
 public:
  explicit TablePrinter(const TableDocument& document);

  // A4 in the document's orientation with the printer's margins; set it on
  // the device before printing.
  QPageLayout pageLayout() const;

  // Paints every page on the device (a QPrinter or a QPdfWriter, its page
  // layout already set) and answers how many it took.
  int print(QPagedPaintDevice& device);

  // How many pages the document takes on that device, without painting.
  int pageCount(QPagedPaintDevice& device);

  // The texts the document prints, a line of the table a line of text and
  // its cells separated by tabs, without the page headers and footers after
  // the first page: what a reader of the printout can check it for.
  std::string text() const;

  // The date and time shown on every page (now, unless set).
  void setPrintedAt(const QDateTime& when) { printedAt_ = when; }

 private:
  struct Line {
    enum class Kind { Heading, Row, GroupTotal, TableTotal, Empty };
    Kind kind;
    int level = 0;            // of a heading or a group total
    std::int32_t index = -1;  // the row, or the group
    std::size_t totals = 0;   // of a total line: its sums in totals_
  };
  struct Page {
    std::size_t first = 0, end = 0;  // lines [first, end)
    // Headings repeated at the top (level, group), outermost first.
    std::vector<std::pair<int, std::int32_t>> continuedGroups;
  };
  struct Metrics;

  void buildLines();
  std::vector<Page> paginate(const Metrics& m) const;

  const TableDocument& document_;
  std::vector<Line> lines_;
  std::vector<std::vector<double>> totals_;  // one a total line, one a column
  QDateTime printedAt_;
};

}  // namespace quill::ui
