#pragma once

#include <QTableView>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/PrintedTable.h"
#include "platform/ui/RecordsetTableModel.h"

namespace quill::ui {

// The bound grid of the system's editors: a table view over a
// RecordsetTableModel that lays out the model's column settings (widths in
// twips, hidden columns), spans group headings over the row, toggles a row
// mark with a click, Enter or Space in the mark column, and keeps a cell in
// edit mode while its edit validation refuses the typed value.
//
// It shows any number of rows without a widget per row: cells are painted
// from the model as they come into view.
class RecordsetGrid : public QTableView {
  Q_OBJECT

 public:
  explicit RecordsetGrid(QWidget* parent = nullptr);
  ~RecordsetGrid() override;

  RecordsetTableModel& gridModel() { return *model_; }
  const RecordsetTableModel& gridModel() const { return *model_; }

  // Binds a recordset; the columns come back to their defaults.
  void setRecordset(std::shared_ptr<sql::Recordset> recordset);
  // One column's settings, by field name (or kMarkColumn); call
  // applyColumns() once they are all set.
  GridColumn& column(std::string_view field) { return model_->column(field); }
  // Lays the model's column settings out: widths, hidden columns, captions.
  void applyColumns();

  // Suspends or resumes drawing, as the system does around long changes.
  void setRedraw(bool on);
  bool redraw() const { return updatesEnabled(); }

  // True while a cell is being edited.
  bool isEditing() const { return state() == QAbstractItemView::EditingState; }

  // The grid's text for a data cell or a heading, by model row and field.
  QString cellText(int row, std::string_view field) const;
  // Types a text into a cell as a user does; false when refused.
  bool typeInto(int row, std::string_view field, const QString& text);

  // What the grid shows, as a table to print (hidden columns and the mark
  // column left out).
  PrintedTable printedTable() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void applySpans();

  RecordsetTableModel* model_;
};

}  // namespace quill::ui
