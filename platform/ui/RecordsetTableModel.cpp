#include "platform/ui/RecordsetTableModel.h"

#include <QBrush>
#include <QFont>
#include <algorithm>
#include <map>

#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/ValueOrder.h"
#include "platform/ui/PrintedTable.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

namespace quill::ui {

namespace {

Qt::Alignment qtAlignment(GridColumn::Align align, bool number) {
  switch (align) {
    case GridColumn::Align::Left:
      return Qt::AlignLeft | Qt::AlignVCenter;
    case GridColumn::Align::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case GridColumn::Align::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case GridColumn::Align::Auto:
      break;
  }
  return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

bool isNumberValue(const Variant& value) {
  switch (value.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
      return true;
    default:
      return false;
  }
}

// A heading row's background and the grey of the system's report grids.
const QColor kHeadingBackground(232, 236, 242);

}  // namespace

bool GridColumn::isMark() const { return field == kMarkColumn; }

RecordsetTableModel::RecordsetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

RecordsetTableModel::~RecordsetTableModel() { detach(); }

void RecordsetTableModel::detach() {
  if (recordset_) recordset_->removeObserver(this);
}

void RecordsetTableModel::setRecordset(std::shared_ptr<sql::Recordset> recordset) {
  beginResetModel();
  detach();
  recordset_ = std::move(recordset);
  columns_.clear();
  fieldIndex_.clear();
  levels_.clear();
  rows_.clear();
  headings_.clear();
  marks_.clear();
  if (recordset_) {
    recordset_->addObserver(this);
    for (std::size_t i = 0; i < recordset_->fieldCount(); ++i) {
      GridColumn column;
      column.field = recordset_->field(i).name;
      column.caption = column.field;
      columns_.push_back(std::move(column));
      fieldIndex_.push_back(i);
    }
    marks_.assign(dataRowCount(), 0);
  }
  endResetModel();
  emit headingsChanged();
}

// ---- Columns ----

std::optional<int> RecordsetTableModel::columnOf(std::string_view field) const {
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (sql::compareTextNoCase(columns_[i].field, field) == 0) return static_cast<int>(i);
  return std::nullopt;
}

GridColumn& RecordsetTableModel::column(std::string_view field) {
  if (auto index = columnOf(field)) return columns_[static_cast<std::size_t>(*index)];
  throw sql::sqlError(sql::sqlerr::ItemNotFound, "The grid has no column " + std::string(field));
}

void RecordsetTableModel::columnsChanged() {
  if (columns_.empty()) return;
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  emit headingsChanged();
}

void RecordsetTableModel::insertMarkColumn(int widthTwips) {
  if (columnOf(kMarkColumn)) return;
  GridColumn mark;
  mark.field = kMarkColumn;
  mark.widthTwips = widthTwips;
  beginInsertColumns({}, 0, 0);
  columns_.insert(columns_.begin(), std::move(mark));
  fieldIndex_.insert(fieldIndex_.begin(), std::nullopt);
  endInsertColumns();
  emit headingsChanged();
}

void RecordsetTableModel::setColumns(std::vector<GridColumn> columns) {
  std::vector<std::optional<std::size_t>> fields;
  for (const GridColumn& c : columns) {
    if (c.isMark()) {
      fields.push_back(std::nullopt);
    } else {
      if (!recordset_) throw sql::sqlError(sql::sqlerr::ItemNotFound, "The grid has no recordset");
      fields.push_back(recordset_->fieldIndex(c.field));
    }
  }
  beginResetModel();
  columns_ = std::move(columns);
  fieldIndex_ = std::move(fields);
  endResetModel();
  emit headingsChanged();
}

std::optional<std::size_t> RecordsetTableModel::fieldOf(int column) const {
  if (column < 0 || static_cast<std::size_t>(column) >= fieldIndex_.size()) return std::nullopt;
  return fieldIndex_[static_cast<std::size_t>(column)];
}

int RecordsetTableModel::firstVisibleColumn() const {
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (!columns_[i].hidden) return static_cast<int>(i);
  return 0;
}

// ---- Grouping ----

void RecordsetTableModel::setGrouping(std::vector<GroupLevel> levels) {
  if (levels.size() > 2) throw sql::sqlError(sql::sqlerr::InvalidArgument, "A grid groups on two levels at most");
  if (recordset_)
    for (const GroupLevel& level : levels) recordset_->fieldIndex(level.field);  // ItemNotFound when missing
  beginResetModel();
  levels_ = std::move(levels);
  rebuildRows();
  endResetModel();
  emit headingsChanged();
}

void RecordsetTableModel::rebuildRows() {
  rows_.clear();
  headings_.clear();
  rowOfPosition_.clear();
  if (!grouped() || !recordset_ || !recordset_->isOpen()) return;
  const std::size_t count = dataRowCount();
  std::vector<std::size_t> keyFields;
  for (const GroupLevel& level : levels_) keyFields.push_back(recordset_->fieldIndex(level.field));

  // Each row's group at each level, numbered in the order the groups first
  // appear; rows are then ordered by those numbers, keeping their order
  // within a group.
  std::vector<std::vector<std::size_t>> groupOf(keyFields.size(), std::vector<std::size_t>(count));
  for (std::size_t l = 0; l < keyFields.size(); ++l) {
    auto less = [](const Variant& a, const Variant& b) { return sql::compareValues(a, b) < 0; };
    // A level-2 group is a pair (level-1 group, key).
    std::map<std::pair<std::size_t, Variant>, std::size_t,
             std::function<bool(const std::pair<std::size_t, Variant>&, const std::pair<std::size_t, Variant>&)>>
        numbers([&](const auto& a, const auto& b) {
          if (a.first != b.first) return a.first < b.first;
          return less(a.second, b.second);
        });
    for (std::size_t p = 0; p < count; ++p) {
      const std::size_t outer = l == 0 ? 0 : groupOf[l - 1][p];
      auto [it, added] = numbers.emplace(std::make_pair(outer, recordset_->valueAt(p, keyFields[l])), numbers.size());
      groupOf[l][p] = it->second;
    }
  }
  std::vector<std::size_t> order(count);
  for (std::size_t p = 0; p < count; ++p) order[p] = p;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    for (const auto& groups : groupOf)
      if (groups[a] != groups[b]) return groups[a] < groups[b];
    return false;
  });

  constexpr auto kNone = static_cast<std::size_t>(-1);
  rows_.reserve(count + count / 4 + 2);
  rowOfPosition_.assign(count, -1);
  std::vector<std::size_t> current(keyFields.size(), kNone);
  for (std::size_t p : order) {
    // A new group at one level begins new groups at every deeper level.
    for (std::size_t l = 0; l < keyFields.size(); ++l) {
      if (groupOf[l][p] == current[l]) continue;
      current[l] = groupOf[l][p];
      for (std::size_t deeper = l + 1; deeper < current.size(); ++deeper) current[deeper] = kNone;
      rows_.push_back(RowEntry{static_cast<int>(l), p, headings_.size()});
      const auto& heading = levels_[l].heading;
      headings_.push_back(heading ? heading(*recordset_, p) : vb::CStr(recordset_->valueAt(p, keyFields[l])));
    }
    rows_.push_back(RowEntry{-1, p, 0});
    rowOfPosition_[p] = static_cast<int>(rows_.size() - 1);
  }
}

bool RecordsetTableModel::isHeading(int row) const { return headingLevel(row) >= 0; }

int RecordsetTableModel::headingLevel(int row) const {
  if (!grouped() || row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return -1;
  return rows_[static_cast<std::size_t>(row)].level;
}

QString RecordsetTableModel::headingText(int row) const {
  if (!isHeading(row)) return {};
  return QString::fromStdString(headings_[rows_[static_cast<std::size_t>(row)].heading]);
}

// ---- Rows ----

std::size_t RecordsetTableModel::dataRowCount() const {
  if (!recordset_ || !recordset_->isOpen()) return 0;
  return static_cast<std::size_t>(recordset_->recordCount());
}

std::optional<std::size_t> RecordsetTableModel::positionOf(int row) const {
  if (row < 0) return std::nullopt;
  if (grouped()) {
    if (static_cast<std::size_t>(row) >= rows_.size() || rows_[static_cast<std::size_t>(row)].level >= 0)
      return std::nullopt;
    return rows_[static_cast<std::size_t>(row)].position;
  }
  if (static_cast<std::size_t>(row) >= dataRowCount()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

int RecordsetTableModel::rowOf(std::size_t position) const {
  if (!grouped()) return position < dataRowCount() ? static_cast<int>(position) : -1;
  return position < rowOfPosition_.size() ? rowOfPosition_[position] : -1;
}

int RecordsetTableModel::findRow(std::string_view text) const {
  int column = -1;
  for (std::size_t i = 0; i < columns_.size() && column < 0; ++i)
    if (!columns_[i].hidden && !columns_[i].isMark()) column = static_cast<int>(i);
  const QString wanted = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
  if (column >= 0)
    for (int r = 0; r < rowCount(); ++r)
      if (!isHeading(r) && displayText(r, column) == wanted) return r;
  bool number = false;
  const int n = wanted.toInt(&number);
  if (!number || n < 0 || static_cast<std::size_t>(n) >= dataRowCount()) return -1;
  int seen = -1;
  for (int r = 0; r < rowCount(); ++r)
    if (!isHeading(r) && ++seen == n) return r;
  return -1;
}

// ---- Marks ----

bool RecordsetTableModel::isMarked(std::size_t position) const {
  return position < marks_.size() && marks_[position] != 0;
}

void RecordsetTableModel::setMarked(std::size_t position, bool marked) {
  if (position >= marks_.size() || (marks_[position] != 0) == marked) return;
  marks_[position] = marked ? 1 : 0;
  const int row = rowOf(position);
  if (row >= 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::CheckStateRole});
}

void RecordsetTableModel::setAllMarked(bool marked) {
  std::fill(marks_.begin(), marks_.end(), marked ? 1 : 0);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::CheckStateRole});
}

// ---- Editing ----

bool RecordsetTableModel::validateEdit(const QModelIndex& index, const QString& text, Variant* value) const {
  const auto position = positionOf(index.row());
  const auto field = fieldOf(index.column());
  if (!position || !field || !(flags(index) & Qt::ItemIsEditable)) return false;
  Edit edit;
  edit.position = *position;
  edit.field = recordset_->field(*field).name;
  edit.text = text.toStdString();
  // The value as the field's type takes it: numbers from regional text,
  // empty text as Null for anything but text.
  const sql::DataType type = recordset_->field(*field).type;
  if (edit.text.empty() && !sql::isTextType(type)) {
    edit.value = Variant::null();
  } else if (sql::isNumericType(type)) {
    if (!vb::IsNumeric(Variant(edit.text))) {
      if (!validator_) return false;
      edit.value = Variant(edit.text);
    } else {
      edit.value = Variant(vb::CDbl(Variant(edit.text)));
    }
  } else {
    edit.value = Variant(edit.text);
  }
  if (validator_ && !validator_(edit)) return false;
  if (value) *value = std::move(edit.value);
  return true;
}

bool RecordsetTableModel::editCell(int row, int column, const QString& text) {
  return setData(index(row, column), text, Qt::EditRole);
}

bool RecordsetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.model() != this) return false;
  const auto position = positionOf(index.row());
  if (!position) return false;
  if (columns_[static_cast<std::size_t>(index.column())].isMark()) {
    if (role != Qt::CheckStateRole) return false;
    setMarked(*position, value.toInt() == Qt::Checked);
    return true;
  }
  if (role != Qt::EditRole) return false;
  Variant stored;
  if (!validateEdit(index, value.toString(), &stored)) return false;
  const std::size_t field = *fieldOf(index.column());
  try {
    recordset_->setValueAt(*position, field, std::move(stored));
  } catch (const std::exception& error) {
    // The row stays as it was (a write-through that failed is undone).
    if (recordset_->editMode() != sql::EditMode::None) recordset_->cancelUpdate();
    if (onError_) onError_(error);
    return false;
  }
  if (afterEdit_) afterEdit_(*position, recordset_->field(field).name);
  return true;
}

Qt::ItemFlags RecordsetTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (isHeading(index.row())) return Qt::ItemIsEnabled;
  const GridColumn& column = columns_[static_cast<std::size_t>(index.column())];
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (column.isMark()) return flags | Qt::ItemIsUserCheckable;
  if (!column.readOnly) flags |= Qt::ItemIsEditable;
  return flags;
}

// ---- Data ----

int RecordsetTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (grouped()) return static_cast<int>(rows_.size());
  return static_cast<int>(dataRowCount());
}

int RecordsetTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString RecordsetTableModel::displayText(int row, int column) const {
  return data(index(row, column), Qt::DisplayRole).toString();
}

QVariant RecordsetTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.model() != this || index.row() >= rowCount() || index.column() >= columnCount())
    return {};
  if (isHeading(index.row())) return headingData(index.row(), index.column(), role);
  const auto position = positionOf(index.row());
  if (!position) return {};
  return cellData(*position, index.column(), role);
}

QVariant RecordsetTableModel::headingData(int row, int column, int role) const {
  switch (role) {
    case Qt::DisplayRole:
      if (column == firstVisibleColumn()) return headingText(row);
      return {};
    case Qt::FontRole: {
      QFont font;
      font.setBold(true);
      return font;
    }
    case Qt::BackgroundRole:
      return QBrush(headingLevel(row) == 0 ? kHeadingBackground : kHeadingBackground.lighter(104));
    default:
      return {};
  }
}

QVariant RecordsetTableModel::cellData(std::size_t position, int column, int role) const {
  const GridColumn& settings = columns_[static_cast<std::size_t>(column)];
  if (settings.isMark()) {
    if (role == Qt::CheckStateRole) return isMarked(position) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
    return {};
  }
  const std::size_t field = *fieldOf(column);
  const Variant& value = recordset_->valueAt(position, field);
  std::optional<CellStyle> style;
  if (style_ && (role == Qt::FontRole || role == Qt::BackgroundRole || role == Qt::TextAlignmentRole))
    style = style_(position, settings);
  switch (role) {
    case Qt::DisplayRole:
      if (value.isNull() || value.isEmpty()) return QString();
      return QString::fromStdString(settings.format.empty() ? vb::CStr(value) : vb::Format(value, settings.format));
    case Qt::EditRole:
      if (value.isNull() || value.isEmpty()) return QString();
      return QString::fromStdString(vb::CStr(value));
    case Qt::TextAlignmentRole: {
      const auto align = style && style->align ? *style->align : settings.align;
      return QVariant::fromValue(qtAlignment(align, isNumberValue(value)));
    }
    case Qt::FontRole:
      if (style && (style->bold || style->pointSize)) {
        QFont font;
        font.setBold(style->bold);
        if (style->pointSize) font.setPointSize(*style->pointSize);
        return font;
      }
      return {};
    case Qt::BackgroundRole:
      if (style && style->background) return QBrush(*style->background);
      return {};
    default:
      return {};
  }
}

QVariant RecordsetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(columns_[static_cast<std::size_t>(section)].caption);
  return {};
}

// ---- Following the recordset ----

// Rows coming or going: with grouping the heading rows move too, so the
// whole model is reset around the change; without it the rows are told.
void RecordsetTableModel::beginRowChange(std::size_t first, std::size_t last, bool insert) {
  pendingGroupedReset_ = grouped();
  if (pendingGroupedReset_)
    beginResetModel();
  else if (insert)
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
  else
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(last));
  pendingFirst_ = first;
  pendingCount_ = last - first + 1;
}

void RecordsetTableModel::endRowChange(bool insert) {
  if (pendingGroupedReset_) {
    rebuildRows();
    pendingGroupedReset_ = false;
    endResetModel();
    emit headingsChanged();
  } else if (insert) {
    endInsertRows();
  } else {
    endRemoveRows();
  }
}

void RecordsetTableModel::rowsAboutToBeInserted(std::size_t first, std::size_t last) {
  beginRowChange(first, last, true);
}

void RecordsetTableModel::rowsInserted() {
  marks_.insert(marks_.begin() + static_cast<std::ptrdiff_t>(std::min(pendingFirst_, marks_.size())), pendingCount_, 0);
  endRowChange(true);
}

void RecordsetTableModel::rowsAboutToBeRemoved(std::size_t first, std::size_t last) {
  beginRowChange(first, last, false);
}

void RecordsetTableModel::rowsRemoved() {
  if (pendingFirst_ < marks_.size())
    marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(pendingFirst_),
                 marks_.begin() + static_cast<std::ptrdiff_t>(std::min(pendingFirst_ + pendingCount_, marks_.size())));
  endRowChange(false);
}

void RecordsetTableModel::rowChanged(std::size_t position) {
  const int row = rowOf(position);
  if (row >= 0 && columnCount() > 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordsetTableModel::aboutToReset() { beginResetModel(); }

void RecordsetTableModel::reset() {
  // A new view of the rows (filter, sort, new columns, closed): marks go.
  marks_.assign(dataRowCount(), 0);
  rebuildRows();
  endResetModel();
  emit headingsChanged();
}

PrintedTable printedTableOf(const RecordsetTableModel& model) {
  PrintedTable table;
  std::vector<int> shown;
  const auto& columns = model.columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].hidden || columns[i].isMark()) continue;
    shown.push_back(static_cast<int>(i));
    table.columns.push_back({columns[i].caption, columns[i].widthTwips, columns[i].align});
  }
  const int rows = model.rowCount();
  table.rows.reserve(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    PrintedTable::Row row;
    row.headingLevel = model.headingLevel(r);
    if (row.headingLevel >= 0) {
      row.cells.push_back({model.headingText(r).toStdString(), true, GridColumn::Align::Left});
    } else {
      for (int c : shown) {
        const QModelIndex cell = model.index(r, c);
        PrintedTable::Cell out;
        out.text = model.data(cell, Qt::DisplayRole).toString().toStdString();
        const QVariant font = model.data(cell, Qt::FontRole);
        out.bold = font.isValid() && font.value<QFont>().bold();
        const auto align = model.data(cell, Qt::TextAlignmentRole).value<Qt::Alignment>();
        out.align = (align & Qt::AlignHCenter) ? GridColumn::Align::Center
                    : (align & Qt::AlignRight) ? GridColumn::Align::Right
                                               : GridColumn::Align::Left;
        row.cells.push_back(std::move(out));
      }
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace quill::ui
