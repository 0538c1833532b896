#include "platform/sql/Recordset.h"

#include <fmt/format.h>

#include <algorithm>

#include "platform/automation/Dispatch.h"
#include "platform/sql/RecordsetCodec.h"
#include "platform/sql/RecordsetFields.h"
#include "platform/sql/RecordsetObserver.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/Conversions.h"

namespace quill::sql {

namespace {
AutomationError noCurrentRecord() {
  return sqlError(sqlerr::NoCurrentRecord,
                  "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                  "requires a current record.");
}

AutomationError itemNotFound(std::string_view name) {
  return sqlError(sqlerr::ItemNotFound,
                  fmt::format("Item cannot be found in the collection corresponding to the requested name or "
                              "ordinal: {}",
                              name));
}

bool blank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }
}  // namespace

std::shared_ptr<Recordset> Recordset::create(std::vector<Field> fields) {
  return std::make_shared<Recordset>(std::move(fields));
}

Recordset::Recordset(std::vector<Field> fields) : fields_(std::move(fields)) {}

void Recordset::appendRow(std::vector<Variant> values) {
  requireOpen();
  if (values.size() != fields_.size())
    throw sqlError(sqlerr::InvalidArgument, fmt::format("A row of {} values does not fit a recordset of {} fields",
                                                        values.size(), fields_.size()));
  Row row;
  row.original = values;
  row.values = std::move(values);
  row.assigned.assign(fields_.size(), false);
  rows_.push_back(std::move(row));
  const std::size_t index = rows_.size() - 1;
  if (sort_ || pendingOnly_) {
    rebuildView();
  } else if (!filter_ || filter_->matches(rows_[index].values)) {
    notify([&](RecordsetObserver& o) { o.rowsAboutToBeInserted(view_.size(), view_.size()); });
    view_.push_back(index);
    notify([](RecordsetObserver& o) { o.rowsInserted(); });
  }
}

void Recordset::appendField(Field field) {
  requireOpen();
  notify([](RecordsetObserver& o) { o.aboutToReset(); });
  fields_.push_back(std::move(field));
  for (auto& row : rows_) {
    row.values.push_back(Variant::null());
    row.original.push_back(Variant::null());
    row.assigned.push_back(false);
  }
  if (editBackup_) {
    editBackup_->values.push_back(Variant::null());
    editBackup_->original.push_back(Variant::null());
    editBackup_->assigned.push_back(false);
  }
  notify([](RecordsetObserver& o) { o.reset(); });
}

const Field& Recordset::field(std::size_t index) const {
  if (index >= fields_.size()) throw itemNotFound(std::to_string(index));
  return fields_[index];
}

std::optional<std::size_t> Recordset::findField(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (equalsNoCase(fields_[i].name, name)) return i;
  return std::nullopt;
}

std::size_t Recordset::fieldIndex(std::string_view name) const {
  if (auto index = findField(name)) return *index;
  throw itemNotFound(name);
}

std::size_t Recordset::fieldIndexOf(const Variant& key) const {
  if (key.isString()) return fieldIndex(key.stringValue());
  const std::int32_t index = vb::CLng(key);
  if (index < 0 || static_cast<std::size_t>(index) >= fields_.size()) throw itemNotFound(std::to_string(index));
  return static_cast<std::size_t>(index);
}

void Recordset::requireOpen() const {
  if (!open_) throw sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
}

void Recordset::close() {
  if (!open_) throw sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
  notify([](RecordsetObserver& o) { o.aboutToReset(); });
  open_ = false;
  rows_.clear();
  view_.clear();
  editMode_ = EditMode::None;
  editBackup_.reset();
  pos_ = 0;
  deletedCurrent_ = false;
  notify([](RecordsetObserver& o) { o.reset(); });
}

// ---- Navigation ----

std::int32_t Recordset::recordCount() const {
  requireOpen();
  return static_cast<std::int32_t>(view_.size());
}

bool Recordset::eof() const {
  requireOpen();
  return !deletedCurrent_ && pos_ >= static_cast<std::int64_t>(view_.size());
}

bool Recordset::bof() const {
  requireOpen();
  return !deletedCurrent_ && (pos_ < 0 || view_.empty());
}

void Recordset::finishPendingEdit() {
  if (editMode_ != EditMode::None) update();
}

// Moving to the first or last row of an empty recordset leaves it at BOF and
// EOF without an error.
void Recordset::moveFirst() {
  requireOpen();
  finishPendingEdit();
  deletedCurrent_ = false;
  pos_ = 0;
}

void Recordset::moveLast() {
  requireOpen();
  finishPendingEdit();
  deletedCurrent_ = false;
  pos_ = view_.empty() ? 0 : static_cast<std::int64_t>(view_.size()) - 1;
}

void Recordset::moveNext() {
  requireOpen();
  if (eof()) throw noCurrentRecord();
  finishPendingEdit();
  if (deletedCurrent_)
    deletedCurrent_ = false;  // pos_ is already on the next row
  else
    ++pos_;
}

void Recordset::movePrevious() {
  requireOpen();
  if (bof()) throw noCurrentRecord();
  finishPendingEdit();
  deletedCurrent_ = false;
  --pos_;
}

void Recordset::move(std::int32_t rows) {
  requireOpen();
  if (rows == 0) return;
  if ((rows > 0 && eof()) || (rows < 0 && bof())) throw noCurrentRecord();
  finishPendingEdit();
  std::int64_t target = pos_ + rows - (deletedCurrent_ && rows > 0 ? 1 : 0);
  deletedCurrent_ = false;
  pos_ = std::clamp<std::int64_t>(target, -1, static_cast<std::int64_t>(view_.size()));
}

std::int32_t Recordset::absolutePosition() const {
  if (bof()) return -2;
  if (eof()) return -3;
  if (deletedCurrent_) return -1;
  return static_cast<std::int32_t>(pos_ + 1);
}

void Recordset::setAbsolutePosition(std::int32_t position) {
  requireOpen();
  if (position < 1 || position > static_cast<std::int32_t>(view_.size()))
    throw sqlError(sqlerr::InvalidArgument, fmt::format("There is no record at position {}", position));
  finishPendingEdit();
  deletedCurrent_ = false;
  pos_ = position - 1;
}

// ---- Current row ----

std::size_t Recordset::currentIndex() const {
  requireOpen();
  if (deletedCurrent_ || pos_ < 0 || pos_ >= static_cast<std::int64_t>(view_.size())) throw noCurrentRecord();
  return view_[static_cast<std::size_t>(pos_)];
}

Recordset::Row& Recordset::currentRow() { return rows_[currentIndex()]; }
const Recordset::Row& Recordset::currentRow() const { return rows_[currentIndex()]; }

const Variant& Recordset::value(std::size_t index) const {
  const Row& row = currentRow();
  if (index >= fields_.size()) throw itemNotFound(std::to_string(index));
  return row.values[index];
}

const Variant& Recordset::originalValue(std::size_t index) const {
  const Row& row = currentRow();
  if (index >= fields_.size()) throw itemNotFound(std::to_string(index));
  return row.original[index];
}

void Recordset::setValue(std::size_t index, Variant value) {
  Row& row = currentRow();
  if (index >= fields_.size()) throw itemNotFound(std::to_string(index));
  if (value.isObject() || value.isArray())
    throw sqlError(sqlerr::WrongValueType,
                   fmt::format("Type mismatch: field {} cannot hold an object or an array", fields_[index].name));
  if (editMode_ == EditMode::None) {
    editBackup_ = row;
    editMode_ = EditMode::InProgress;
  }
  row.values[index] = std::move(value);
  row.assigned[index] = true;
  notify([&](RecordsetObserver& o) { o.rowChanged(static_cast<std::size_t>(pos_)); });
}

RowState Recordset::rowState() const { return currentRow().state; }

// ---- Editing ----

void Recordset::addNew() {
  requireOpen();
  finishPendingEdit();
  Row row;
  row.values.assign(fields_.size(), Variant::null());
  row.original.assign(fields_.size(), Variant::null());
  row.assigned.assign(fields_.size(), false);
  row.state = RowState::Added;
  row.inDatabase = false;
  rows_.push_back(std::move(row));
  posBeforeAdd_ = deletedCurrent_ ? pos_ - 1 : pos_;
  notify([&](RecordsetObserver& o) { o.rowsAboutToBeInserted(view_.size(), view_.size()); });
  view_.push_back(rows_.size() - 1);
  notify([](RecordsetObserver& o) { o.rowsInserted(); });
  pos_ = static_cast<std::int64_t>(view_.size()) - 1;
  deletedCurrent_ = false;
  editMode_ = EditMode::Add;
  editBackup_.reset();
}

void Recordset::update() {
  requireOpen();
  if (editMode_ == EditMode::None) return;
  Row& row = currentRow();
  const RowState before = row.state;
  if (row.state == RowState::Unchanged) row.state = RowState::Changed;
  const EditMode mode = editMode_;
  editMode_ = EditMode::None;
  if (rowWriter_) {
    try {
      writeRowThrough(currentIndex());
    } catch (...) {
      // The row stays being edited, so the caller can correct it and call
      // Update again, or give up with CancelUpdate.
      row.state = before;
      editMode_ = mode;
      throw;
    }
  }
  editBackup_.reset();
}

void Recordset::cancelUpdate() {
  requireOpen();
  if (editMode_ == EditMode::InProgress) {
    rows_[currentIndex()] = *editBackup_;
    notify([&](RecordsetObserver& o) { o.rowChanged(static_cast<std::size_t>(pos_)); });
  } else if (editMode_ == EditMode::Add) {
    // The new row is the last one read or added; it goes as if never added.
    const std::size_t index = currentIndex();
    const auto at = static_cast<std::size_t>(pos_);
    notify([&](RecordsetObserver& o) { o.rowsAboutToBeRemoved(at, at); });
    view_.erase(view_.begin() + pos_);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& v : view_)
      if (v > index) --v;
    pos_ = std::clamp<std::int64_t>(posBeforeAdd_, -1, static_cast<std::int64_t>(view_.size()));
    notify([](RecordsetObserver& o) { o.rowsRemoved(); });
  }
  editMode_ = EditMode::None;
  editBackup_.reset();
}

void Recordset::deleteCurrent() {
  requireOpen();
  const std::size_t index = currentIndex();
  if (editMode_ == EditMode::Add) {
    cancelUpdate();
    return;
  }
  if (editMode_ == EditMode::InProgress) {
    rows_[index] = *editBackup_;
    editMode_ = EditMode::None;
    editBackup_.reset();
  }
  const RowState before = rows_[index].state;
  rows_[index].state = RowState::Deleted;
  const auto at = static_cast<std::size_t>(pos_);
  notify([&](RecordsetObserver& o) { o.rowsAboutToBeRemoved(at, at); });
  view_.erase(view_.begin() + pos_);
  deletedCurrent_ = true;
  notify([](RecordsetObserver& o) { o.rowsRemoved(); });
  if (rowWriter_ && rows_[index].inDatabase) {
    try {
      writeRowThrough(index);
    } catch (...) {
      rows_[index].state = before;
      notify([&](RecordsetObserver& o) { o.rowsAboutToBeInserted(at, at); });
      view_.insert(view_.begin() + static_cast<std::ptrdiff_t>(at), index);
      deletedCurrent_ = false;
      notify([](RecordsetObserver& o) { o.rowsInserted(); });
      throw;
    }
  }
}

void Recordset::writeThrough(RowWriter writer) { rowWriter_ = std::move(writer); }

void Recordset::writeRowThrough(std::size_t index) { rowWriter_(*this, index); }

// ---- Observers and views ----

void Recordset::addObserver(RecordsetObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void Recordset::removeObserver(RecordsetObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

template <typename Event>
void Recordset::notify(Event event) const {
  if (observers_.empty()) return;
  // A copy: an observer may remove itself while it is told.
  const auto observers = observers_;
  for (RecordsetObserver* observer : observers) event(*observer);
}

std::size_t Recordset::rowIndexAt(std::size_t position) const {
  requireOpen();
  if (position >= view_.size())
    throw sqlError(sqlerr::InvalidArgument, fmt::format("There is no record at position {}", position + 1));
  return view_[position];
}

const Variant& Recordset::valueAt(std::size_t position, std::size_t field) const {
  const std::size_t index = rowIndexAt(position);
  if (field >= fields_.size()) throw itemNotFound(std::to_string(field));
  return rows_[index].values[field];
}

RowState Recordset::rowStateAt(std::size_t position) const { return rows_[rowIndexAt(position)].state; }

void Recordset::setValueAt(std::size_t position, std::size_t field, Variant value) {
  rowIndexAt(position);
  if (editMode_ == EditMode::None || pos_ != static_cast<std::int64_t>(position) || deletedCurrent_)
    setAbsolutePosition(static_cast<std::int32_t>(position + 1));
  setValue(field, std::move(value));
  update();
}

// ---- Filter and sort ----

void Recordset::rebuildView() {
  notify([](RecordsetObserver& o) { o.aboutToReset(); });
  view_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    if (row.state == RowState::Deleted) continue;
    if (pendingOnly_ && row.state == RowState::Unchanged) continue;
    if (filter_ && !filter_->matches(row.values)) continue;
    view_.push_back(i);
  }
  if (sort_)
    std::stable_sort(view_.begin(), view_.end(),
                     [&](std::size_t a, std::size_t b) { return sort_->before(rows_[a].values, rows_[b].values); });
  pos_ = 0;
  deletedCurrent_ = false;
  notify([](RecordsetObserver& o) { o.reset(); });
}

void Recordset::setFilter(std::string_view criteria) {
  requireOpen();
  finishPendingEdit();
  if (blank(criteria)) {
    filter_.reset();
    filterText_.clear();
  } else {
    filter_ = RecordsetFilter::parse(criteria, fields_);
    filterText_ = std::string(criteria);
  }
  pendingOnly_ = false;
  rebuildView();
}

void Recordset::showPendingRows() {
  requireOpen();
  finishPendingEdit();
  filter_.reset();
  filterText_.clear();
  pendingOnly_ = true;
  rebuildView();
}

void Recordset::setSort(std::string_view order) {
  requireOpen();
  finishPendingEdit();
  if (blank(order)) {
    sort_.reset();
    sortText_.clear();
  } else {
    sort_ = RecordsetSort::parse(order, fields_);
    sortText_ = std::string(order);
  }
  rebuildView();
}

// ---- Saving ----

bool Recordset::hasPendingChanges() const {
  if (editMode_ != EditMode::None) return true;
  for (const Row& row : rows_) {
    if (row.state == RowState::Unchanged) continue;
    if (row.state == RowState::Deleted && !row.inDatabase) continue;
    return true;
  }
  return false;
}

void Recordset::acceptChanges(const std::vector<SavedRow>& saved) {
  std::vector<bool> remove(rows_.size(), false);
  for (const SavedRow& s : saved) {
    Row& row = rows_.at(s.row);
    if (row.state == RowState::Deleted) {
      remove[s.row] = true;
      continue;
    }
    row.values = s.storedValues;
    row.original = s.storedValues;
    row.assigned.assign(fields_.size(), false);
    row.state = RowState::Unchanged;
    row.inDatabase = true;
  }
  if (!observers_.empty()) {
    // The saved rows now hold what the database stored. A removed row is
    // never visible, so positions do not move.
    std::vector<bool> savedRows(rows_.size(), false);
    for (const SavedRow& s : saved) savedRows[s.row] = rows_[s.row].state != RowState::Deleted;
    for (std::size_t p = 0; p < view_.size(); ++p)
      if (savedRows[view_[p]]) notify([&](RecordsetObserver& o) { o.rowChanged(p); });
  }
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].state == RowState::Deleted && !rows_[i].inDatabase) remove[i] = true;
  if (std::find(remove.begin(), remove.end(), true) == remove.end()) return;
  // Drop the removed rows and renumber the visible ones; a removed row is
  // never visible, so the position keeps pointing at the same row.
  std::vector<std::size_t> newIndex(rows_.size());
  std::vector<Row> kept;
  kept.reserve(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    newIndex[i] = kept.size();
    if (!remove[i]) kept.push_back(std::move(rows_[i]));
  }
  rows_ = std::move(kept);
  for (auto& v : view_) v = newIndex[v];
}

// ---- Late-bound object ----

namespace {
using Args = MemberTable<Recordset>::Args;

std::shared_ptr<Recordset> self(Recordset& rs) { return std::static_pointer_cast<Recordset>(rs.shared_from_this()); }

std::vector<Variant> listOf(const Variant& value) {
  if (value.isArray()) return value.arrayValue().items;
  return {value};
}

Variant flag(bool value) { return Variant(value); }

// AddNew and Update may be given field names (or numbers) and values, one
// each or two arrays; the values are written and the row updated at once.
void assignAll(Recordset& rs, const Variant& keys, const Variant& values) {
  const auto k = listOf(keys);
  const auto v = listOf(values);
  if (k.size() != v.size())
    throw sqlError(sqlerr::InvalidArgument, "The lists of fields and of values have different lengths");
  for (std::size_t i = 0; i < k.size(); ++i)
    rs.setValue(k[i].isString() ? rs.fieldIndex(k[i].stringValue()) : static_cast<std::size_t>(vb::CLng(k[i])), v[i]);
}
}  // namespace

const MemberTable<Recordset>& Recordset::members() {
  static const auto table =
      MemberTable<Recordset>()
          .property(
              "Fields",
              [](Recordset& rs, Args a) {
                rs.requireOpen();
                if (a.empty()) return Variant(DispatchPtr(std::make_shared<RecordsetFields>(self(rs))));
                return Variant(DispatchPtr(std::make_shared<RecordsetField>(self(rs), rs.fieldIndexOf(a[0]))));
              },
              [](Recordset& rs, Args a) {
                if (a.size() != 2) throw vbError(vberr::WrongArguments, "Recordset");
                rs.setValue(rs.fieldIndexOf(a[0]), a[1]);
              })
          .property(
              "Collect",
              [](Recordset& rs, Args a) {
                if (a.size() != 1) throw vbError(vberr::WrongArguments, "Recordset");
                return rs.value(rs.fieldIndexOf(a[0]));
              },
              [](Recordset& rs, Args a) {
                if (a.size() != 2) throw vbError(vberr::WrongArguments, "Recordset");
                rs.setValue(rs.fieldIndexOf(a[0]), a[1]);
              })
          .property("RecordCount", [](Recordset& rs, Args) { return Variant(rs.recordCount()); })
          .property("EOF", [](Recordset& rs, Args) { return flag(rs.eof()); })
          .property("BOF", [](Recordset& rs, Args) { return flag(rs.bof()); })
          .property(
              "AbsolutePosition", [](Recordset& rs, Args) { return Variant(rs.absolutePosition()); },
              [](Recordset& rs, Args a) { rs.setAbsolutePosition(vb::CLng(a.back())); })
          .property("EditMode", [](Recordset& rs, Args) { return Variant(static_cast<std::int32_t>(rs.editMode())); })
          .property("State", [](Recordset& rs, Args) { return Variant(std::int32_t{rs.isOpen() ? 1 : 0}); })
          .property(
              "Filter",
              [](Recordset& rs, Args) {
                rs.requireOpen();
                if (rs.pendingOnly_) return Variant(std::int32_t{1});
                return Variant(rs.filter());
              },
              [](Recordset& rs, Args a) {
                const Variant& v = a.back();
                if (v.isString()) return rs.setFilter(v.stringValue());
                switch (vb::CLng(v)) {
                  case 0:
                    return rs.setFilter("");
                  case 1:
                    return rs.showPendingRows();
                  default:
                    throw sqlError(sqlerr::InvalidArgument, "This filter kind is not supported");
                }
              })
          .property(
              "Sort", [](Recordset& rs, Args) { return Variant(rs.sort()); },
              [](Recordset& rs, Args a) { rs.setSort(vb::CStr(a.back())); })
          .sub(
              "MoveFirst", [](Recordset& rs, Args) { rs.moveFirst(); }, Arity::exactly(0))
          .sub(
              "MoveLast", [](Recordset& rs, Args) { rs.moveLast(); }, Arity::exactly(0))
          .sub(
              "MoveNext", [](Recordset& rs, Args) { rs.moveNext(); }, Arity::exactly(0))
          .sub(
              "MovePrevious", [](Recordset& rs, Args) { rs.movePrevious(); }, Arity::exactly(0))
          .sub(
              "Move", [](Recordset& rs, Args a) { rs.move(vb::CLng(a[0])); }, Arity{1, 2})
          .sub(
              "AddNew",
              [](Recordset& rs, Args a) {
                rs.addNew();
                if (a.size() == 2) {
                  assignAll(rs, a[0], a[1]);
                  rs.update();
                }
              },
              Arity{0, 2})
          .sub(
              "Update",
              [](Recordset& rs, Args a) {
                if (a.size() == 2) assignAll(rs, a[0], a[1]);
                rs.update();
              },
              Arity{0, 2})
          .sub(
              "CancelUpdate", [](Recordset& rs, Args) { rs.cancelUpdate(); }, Arity::exactly(0))
          .sub(
              "Delete", [](Recordset& rs, Args) { rs.deleteCurrent(); }, Arity{0, 1})
          .sub(
              "Close", [](Recordset& rs, Args) { rs.close(); }, Arity::exactly(0));
  return table;
}

Variant Recordset::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  if (!member.empty()) return DispatchObject::invoke(member, kind, args);
  // rs("NAME") and rs("NAME") = value
  if (kind == CallKind::PropertyPut || kind == CallKind::PropertyPutRef) {
    if (args.size() != 2) throw vbError(vberr::WrongArguments, "Recordset");
    setValue(fieldIndexOf(args[0]), args[1]);
    return Variant();
  }
  if (args.size() != 1) throw vbError(vberr::WrongArguments, "Recordset");
  return value(fieldIndexOf(args[0]));
}

// ---- By value ----

std::string Recordset::serialize() const { return RecordsetCodec::encode(*this); }

std::shared_ptr<Recordset> Recordset::deserialize(std::string_view bytes) { return RecordsetCodec::decode(bytes); }

}  // namespace quill::sql
