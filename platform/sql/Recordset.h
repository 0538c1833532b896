#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/ByValue.h"
#include "platform/automation/MemberTable.h"
#include "platform/sql/Field.h"
#include "platform/sql/RecordsetFilter.h"
#include "platform/sql/RecordsetSort.h"

namespace quill::sql {

class RecordsetObserver;

// The state of a row against the database it came from.
enum class RowState { Unchanged, Added, Changed, Deleted };

// ADO's EditModeEnum: what Update or CancelUpdate will finish.
enum class EditMode : std::int32_t { None = 0, InProgress = 1, Add = 2 };

// A disconnected recordset, as ADO's client-side recordsets behave: it holds
// all its rows, is moved, read, written, filtered and sorted in memory, and
// remembers what changed so that its changes can be written back later
// (RecordsetWriter). Field names match without regard to case; the first
// field of a name wins when a join repeats it.
//
// Field writes keep the value as written, whatever the field's type (the
// discounts report writes numbers into text columns and text into number
// columns of its working set). Conversion to the column's type happens when a
// row is saved; after a successful save the row holds the stored values.
//
// It is also the late-bound "Recordset" object (Fields, Field, Move*, EOF,
// Filter, Sort, AddNew, Update, ...; rs("NAME") reads a field) and crosses a
// process border by value, with its rows, row states, position, filter and
// sort.
class Recordset : public DispatchObject<Recordset>, public ByValueObject {
 public:
  struct Row {
    std::vector<Variant> values;
    std::vector<Variant> original;  // as read from the database; Null on added rows
    std::vector<bool> assigned;     // written since the row was read or last saved
    RowState state = RowState::Unchanged;
    bool inDatabase = true;  // false for a row added and not saved yet
  };

  // An open, empty recordset with these fields; rows come from appendRow.
  static std::shared_ptr<Recordset> create(std::vector<Field> fields);
  explicit Recordset(std::vector<Field> fields);

  // ---- Building (queries, stored procedures, C++ callers) ----
  // A row as read from the database: unchanged. The position stays on the
  // first row.
  void appendRow(std::vector<Variant> values);
  // A new column (ADO's Fields.Append); Null in every existing row.
  void appendField(Field field);

  // ---- Shape ----
  std::size_t fieldCount() const { return fields_.size(); }
  const Field& field(std::size_t index) const;
  const std::vector<Field>& fields() const { return fields_; }
  std::optional<std::size_t> findField(std::string_view name) const;
  std::size_t fieldIndex(std::string_view name) const;  // ItemNotFound (3265) when missing

  bool isOpen() const { return open_; }
  void close();

  // ---- Navigation over the visible rows (filtered, sorted, not deleted) ----
  std::int32_t recordCount() const;
  bool eof() const;
  bool bof() const;
  void moveFirst();
  void moveLast();
  void moveNext();
  void movePrevious();
  void move(std::int32_t rows);
  // 1 for the first visible row; -2 at BOF, -3 at EOF, as ADO answers.
  std::int32_t absolutePosition() const;
  void setAbsolutePosition(std::int32_t position);

  // ---- The current row ----
  const Variant& value(std::size_t field) const;
  const Variant& value(std::string_view name) const { return value(fieldIndex(name)); }
  const Variant& originalValue(std::size_t field) const;
  void setValue(std::size_t field, Variant value);
  void setValue(std::string_view name, Variant value) { setValue(fieldIndex(name), std::move(value)); }
  RowState rowState() const;
  EditMode editMode() const { return editMode_; }

  // ---- Editing in memory ----
  void addNew();         // a new row at the end, made current
  void update();         // finishes the edit or the new row
  void cancelUpdate();   // undoes the edit; a new row goes away
  void deleteCurrent();  // marks the current row deleted; it stays current until a move

  // ---- Filter and sort ----
  // ADO criteria (RecordsetFilter); empty text shows every row again.
  void setFilter(std::string_view criteria);
  // Only rows added, changed or deleted since the last save (adFilterPendingRecords).
  void showPendingRows();
  const std::string& filter() const { return filterText_; }
  void setSort(std::string_view order);  // empty text restores the order of reading
  const std::string& sort() const { return sortText_; }

  // ---- Saving ----
  // Every row in reading order, deleted rows included.
  const std::vector<Row>& rows() const { return rows_; }
  bool hasPendingChanges() const;
  // After the changes were written: each saved row takes the stored values
  // and becomes unchanged; deleted rows go.
  struct SavedRow {
    std::size_t row = 0;                // index in rows()
    std::vector<Variant> storedValues;  // ignored for deleted rows
  };
  void acceptChanges(const std::vector<SavedRow>& saved);
  // Writes one row (an index in rows()) to the database, or throws.
  using RowWriter = std::function<void(Recordset&, std::size_t row)>;
  // From now on each Update and Delete writes its row straight to the
  // database through this writer (an updatable recordset); see
  // RecordsetWriter::throughConnection.
  void writeThrough(RowWriter writer);
  bool writesThrough() const { return static_cast<bool>(rowWriter_); }

  // ---- Observers ----
  void addObserver(RecordsetObserver* observer);
  void removeObserver(RecordsetObserver* observer);

  // ---- Visible rows by position, without moving the current row (views) ----
  // position is 0-based among the visible rows (recordCount() of them).
  const Variant& valueAt(std::size_t position, std::size_t field) const;
  RowState rowStateAt(std::size_t position) const;
  // The index in rows() of a visible row.
  std::size_t rowIndexAt(std::size_t position) const;
  // A cell written as a user edits a grid: that row becomes current, the
  // value is written and the row updated (written through when the recordset
  // writes through; a failed write leaves the row in edit for the caller to
  // cancel or correct).
  void setValueAt(std::size_t position, std::size_t field, Variant value);

  // ---- Late-bound object ----
  static const MemberTable<Recordset>& members();
  std::string className() const override { return "Recordset"; }
  // The default member: rs("NAME") reads a field, rs("NAME") = x writes it.
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  // ---- By value ----
  static constexpr const char* kByValueType = "Quill.Recordset";
  std::string byValueTypeName() const override { return kByValueType; }
  std::string serialize() const override;
  static std::shared_ptr<Recordset> deserialize(std::string_view bytes);

 private:
  void requireOpen() const;
  Row& currentRow();
  const Row& currentRow() const;
  std::size_t currentIndex() const;  // index in rows_ of the current row
  void finishPendingEdit();          // the implicit Update of a move
  void rebuildView();
  void writeRowThrough(std::size_t index);
  template <typename Event>
  void notify(Event event) const;
  std::size_t fieldIndexOf(const Variant& key) const;  // a name or a 0-based number

  std::vector<Field> fields_;
  std::vector<Row> rows_;
  std::vector<std::size_t> view_;  // indexes in rows_ of the visible rows, in order
  // Position in view_: -1 is BOF, view_.size() is EOF. After deleteCurrent
  // the deleted row has left view_ but stays current (deletedCurrent_): pos_
  // is where the next row is.
  std::int64_t pos_ = 0;
  bool deletedCurrent_ = false;
  bool open_ = true;

  EditMode editMode_ = EditMode::None;
  std::optional<Row> editBackup_;  // the current row before the edit began
  std::int64_t posBeforeAdd_ = 0;  // where CancelUpdate of a new row returns

  std::string filterText_;
  std::optional<RecordsetFilter> filter_;
  bool pendingOnly_ = false;
  std::string sortText_;
  std::optional<RecordsetSort> sort_;

  RowWriter rowWriter_;
  std::vector<RecordsetObserver*> observers_;

  friend class RecordsetCodec;
  friend class RecordsetFields;
  friend class RecordsetField;
};

}  // namespace quill::sql
