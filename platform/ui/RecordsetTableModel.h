#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/Variant.h"
#include "platform/sql/RecordsetObserver.h"
#include "platform/ui/GridColumn.h"

namespace quill::sql {
class Recordset;
}

namespace quill::ui {

// A Qt table model over a recordset's visible rows, as the system's bound
// grids show them: the columns of the recordset configured by field name
// (caption, width, display format through VB's Format, hidden, read-only),
// an optional row-mark column, up to two levels of grouping with heading
// rows, an edit validation that can refuse a typed value, and a per-cell
// look the form decides.
//
// Model rows are the data rows in the recordset's visible order, with the
// heading rows of the groups in between when grouping is on (rows of one
// group gathered under their heading, groups in the order their first row
// comes). The model follows the recordset as it changes (RecordsetObserver).
class RecordsetTableModel : public QAbstractTableModel, private sql::RecordsetObserver {
  Q_OBJECT

 public:
  // The look of one cell, decided by the form while the grid draws.
  struct CellStyle {
    std::optional<QColor> background;
    bool bold = false;
    std::optional<int> pointSize;
    std::optional<GridColumn::Align> align;
  };
  // One level of grouping: rows with equal values of the field go together,
  // under a heading made from the group's first row (its visible position).
  struct GroupLevel {
    std::string field;
    std::function<std::string(const sql::Recordset&, std::size_t firstPosition)> heading;
  };
  // A value typed into a cell: the field, the text and the value it will be
  // written as (converted by the field's type); the validation may change
  // the value or refuse the edit.
  struct Edit {
    std::size_t position = 0;
    std::string field;
    std::string text;
    Variant value;
  };
  using EditValidator = std::function<bool(Edit&)>;
  using AfterEdit = std::function<void(std::size_t position, const std::string& field)>;
  using StyleFunction = std::function<CellStyle(std::size_t position, const GridColumn& column)>;
  using ErrorHandler = std::function<void(const std::exception&)>;

  explicit RecordsetTableModel(QObject* parent = nullptr);
  ~RecordsetTableModel() override;

  // Binds a recordset (nothing: an empty grid): one column per field, in
  // the field order, captioned with the field name, shown and editable;
  // marks and grouping are cleared.
  void setRecordset(std::shared_ptr<sql::Recordset> recordset);
  const std::shared_ptr<sql::Recordset>& recordset() const { return recordset_; }

  // ---- Columns ----
  const std::vector<GridColumn>& columns() const { return columns_; }
  // The column of a field (or kMarkColumn); nothing when there is none.
  std::optional<int> columnOf(std::string_view field) const;
  // Changes one column's settings; an unknown field is ItemNotFound (3265).
  GridColumn& column(std::string_view field);
  // Tells the views that column settings changed (captions, formats, flags).
  void columnsChanged();
  // Puts the row-mark column in front.
  void insertMarkColumn(int widthTwips = 505);
  void setColumns(std::vector<GridColumn> columns);

  // ---- Grouping ----
  void setGrouping(std::vector<GroupLevel> levels);
  bool isHeading(int row) const;
  int headingLevel(int row) const;  // 0 or 1; -1 for a data row
  QString headingText(int row) const;

  // ---- Rows ----
  // The recordset position of a data row; nothing for a heading row.
  std::optional<std::size_t> positionOf(int row) const;
  int rowOf(std::size_t position) const;
  std::size_t dataRowCount() const;
  // The first data row whose first shown cell (the mark column left out)
  // reads `text`; a number from 0 counts data rows. -1 when there is none.
  int findRow(std::string_view text) const;

  // ---- Row marks ----
  bool isMarked(std::size_t position) const;
  void setMarked(std::size_t position, bool marked);
  void setAllMarked(bool marked);
  void toggleMark(std::size_t position) { setMarked(position, !isMarked(position)); }

  // ---- Editing and look ----
  void setEditValidator(EditValidator validator) { validator_ = std::move(validator); }
  void setAfterEdit(AfterEdit afterEdit) { afterEdit_ = std::move(afterEdit); }
  void setStyleFunction(StyleFunction style) { style_ = std::move(style); }
  // Where a failure while writing an edit goes (a box of the form's); without
  // one the edit is simply refused.
  void setErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }
  // Whether a typed text would be accepted in a cell, and as what value.
  bool validateEdit(const QModelIndex& index, const QString& text, Variant* value = nullptr) const;
  // Types a text into a cell as a user does: validated, then written.
  bool editCell(int row, int column, const QString& text);

  // The text a cell shows.
  QString displayText(int row, int column) const;

  // ---- QAbstractTableModel ----
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 signals:
  // The grouping or the rows changed so that heading rows moved.
  void headingsChanged();

 private:
  struct RowEntry {
    int level = -1;            // -1 data row; 0, 1 heading level
    std::size_t position = 0;  // data row: its position; heading: its group's first position
    std::size_t heading = 0;   // heading: its text in headings_
  };

  // RecordsetObserver
  void rowsAboutToBeInserted(std::size_t first, std::size_t last) override;
  void rowsInserted() override;
  void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override;
  void rowsRemoved() override;
  void rowChanged(std::size_t position) override;
  void aboutToReset() override;
  void reset() override;

  void beginRowChange(std::size_t first, std::size_t last, bool insert);
  void endRowChange(bool insert);
  void detach();
  void rebuildRows();  // the row map for grouping
  bool grouped() const { return !levels_.empty(); }
  std::optional<std::size_t> fieldOf(int column) const;
  QVariant cellData(std::size_t position, int column, int role) const;
  QVariant headingData(int row, int column, int role) const;
  int firstVisibleColumn() const;

  std::shared_ptr<sql::Recordset> recordset_;
  std::vector<GridColumn> columns_;
  std::vector<std::optional<std::size_t>> fieldIndex_;  // per column; nothing for the mark column
  std::vector<GroupLevel> levels_;
  std::vector<RowEntry> rows_;         // only when grouped
  std::vector<std::string> headings_;  // the texts of the heading rows
  std::vector<int> rowOfPosition_;     // only when grouped
  std::vector<char> marks_;            // by position
  EditValidator validator_;
  AfterEdit afterEdit_;
  StyleFunction style_;
  ErrorHandler onError_;
  std::size_t pendingFirst_ = 0, pendingCount_ = 0;
  bool pendingGroupedReset_ = false;
};

struct PrintedTable;
// What a model shows, as a table to print: the shown columns (the mark
// column left out), every row's displayed text with its bold and alignment.
PrintedTable printedTableOf(const RecordsetTableModel& model);

}  // namespace quill::ui
