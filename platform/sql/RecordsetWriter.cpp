#include "platform/sql/RecordsetWriter.h"

#include <fmt/format.h>

#include <algorithm>
#include <string>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/Transaction.h"

namespace quill::sql {

namespace {

std::string quoteName(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

// The columns one row writes into one table.
struct TableWrite {
  std::string table;
  const Connection::TableInfo* info = nullptr;
  std::vector<std::string> columns;
  std::vector<Variant> values;  // as stored
};

class RowWriter {
 public:
  RowWriter(Connection& connection, const Recordset& recordset) : connection_(connection), rs_(recordset) {}

  // The row's values after the write: written fields hold what was stored.
  std::vector<Variant> update(const Recordset::Row& row) {
    std::vector<Variant> result = row.values;
    for (TableWrite& write : writes(row, result)) {
      if (write.columns.empty()) continue;
      std::string sql = "UPDATE " + quoteName(write.info->name) + " SET ";
      for (std::size_t i = 0; i < write.columns.size(); ++i)
        sql += (i ? ", " : "") + quoteName(write.columns[i]) + " = ?";
      std::vector<Variant> parameters = write.values;
      sql += whereKey(write, row, parameters);
      if (connection_.execute(sql, parameters) == 0) throw rowNotFound(write.info->name, "updated");
    }
    return result;
  }

  std::vector<Variant> insert(const Recordset::Row& row) {
    std::vector<Variant> result = row.values;
    auto tableWrites = writes(row, result);
    if (tableWrites.empty()) {
      // Nothing written: one row of defaults, when there is one table to put it in.
      const auto tables = baseTables();
      if (tables.size() != 1)
        throw sqlError(sqlerr::IllegalOperation, "A new row without values cannot be added to this recordset");
      TableWrite write;
      write.table = tables[0];
      write.info = &table(tables[0]);
      tableWrites.push_back(std::move(write));
    }
    for (TableWrite& write : tableWrites) {
      std::string sql = "INSERT INTO " + quoteName(write.info->name);
      if (write.columns.empty()) {
        sql += " DEFAULT VALUES";
      } else {
        std::string names, marks;
        for (std::size_t i = 0; i < write.columns.size(); ++i) {
          names += (i ? ", " : "") + quoteName(write.columns[i]);
          marks += i ? ", ?" : "?";
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
      }
      connection_.execute(sql, write.values);
      // A key numbered by the database comes back into the row.
      for (const auto& column : write.info->columns) {
        if (!column.identity) continue;
        for (std::size_t f = 0; f < rs_.fieldCount(); ++f) {
          const Field& field = rs_.field(f);
          if (!row.assigned[f] && equalsNoCase(field.baseTable, write.info->name) &&
              equalsNoCase(field.baseColumn, column.name))
            result[f] = Variant(static_cast<std::int32_t>(connection_.lastInsertId()));
        }
      }
    }
    return result;
  }

  void remove(const Recordset::Row& row) {
    const auto tables = baseTables();
    if (tables.size() != 1)
      throw sqlError(sqlerr::IllegalOperation,
                     "A row of a recordset built from several tables (or from none) cannot be deleted");
    TableWrite write;
    write.table = tables[0];
    write.info = &table(tables[0]);
    std::vector<Variant> parameters;
    std::string sql = "DELETE FROM " + quoteName(write.info->name) + whereKey(write, row, parameters);
    if (connection_.execute(sql, parameters) == 0) throw rowNotFound(write.info->name, "deleted");
  }

 private:
  Connection& connection_;
  const Recordset& rs_;

  const Connection::TableInfo& table(const std::string& name) {
    const auto& info = connection_.tableInfo(name);
    if (info.columns.empty())
      throw sqlError(sqlerr::NoTable, fmt::format("Invalid object name: the table {} does not exist", name));
    return info;
  }

  std::vector<std::string> baseTables() const {
    std::vector<std::string> tables;
    for (const Field& field : rs_.fields()) {
      if (field.baseTable.empty()) continue;
      bool known = false;
      for (const auto& t : tables) known = known || equalsNoCase(t, field.baseTable);
      if (!known) tables.push_back(field.baseTable);
    }
    return tables;
  }

  // The written fields of a row, by base table and column, converted for
  // storage. Two fields of one column (an alias beside its source) must
  // agree. `result` receives the stored values as the fields read them.
  std::vector<TableWrite> writes(const Recordset::Row& row, std::vector<Variant>& result) {
    std::vector<TableWrite> out;
    for (std::size_t f = 0; f < rs_.fieldCount(); ++f) {
      const Field& field = rs_.field(f);
      if (!row.assigned[f] || field.baseTable.empty()) continue;
      auto it = std::find_if(out.begin(), out.end(),
                             [&](const TableWrite& w) { return equalsNoCase(w.table, field.baseTable); });
      if (it == out.end()) {
        TableWrite write;
        write.table = field.baseTable;
        write.info = &table(field.baseTable);
        out.push_back(std::move(write));
        it = out.end() - 1;
      }
      const Connection::Column* column = it->info->column(field.baseColumn);
      if (!column)
        throw sqlError(sqlerr::ErrorsInCommand, fmt::format("Error in the command: the table {} has no column {}",
                                                            it->info->name, field.baseColumn));
      Variant stored = storageValue(row.values[f], column->type, column->name);
      result[f] = typedValue(stored, field.type);
      auto same = std::find_if(it->columns.begin(), it->columns.end(),
                               [&](const std::string& c) { return equalsNoCase(c, column->name); });
      if (same != it->columns.end()) {
        const Variant& earlier = it->values[static_cast<std::size_t>(same - it->columns.begin())];
        if (!(earlier == stored))
          throw sqlError(
              sqlerr::InvalidArgument,
              fmt::format("Two fields of this row write different values into {}.{}", it->info->name, column->name));
        continue;
      }
      it->columns.push_back(column->name);
      it->values.push_back(std::move(stored));
    }
    return out;
  }

  // " WHERE key = ? AND ..." with the row's key as it was read.
  std::string whereKey(const TableWrite& write, const Recordset::Row& row, std::vector<Variant>& parameters) {
    const auto& keys = write.info->keyColumns;
    if (keys.empty())
      throw sqlError(sqlerr::IllegalOperation,
                     fmt::format("The table {} has no primary key, so its rows cannot be saved", write.info->name));
    std::string sql = " WHERE ";
    for (std::size_t k = 0; k < keys.size(); ++k) {
      std::optional<std::size_t> keyField;
      for (std::size_t f = 0; f < rs_.fieldCount() && !keyField; ++f) {
        const Field& field = rs_.field(f);
        if (equalsNoCase(field.baseTable, write.info->name) && equalsNoCase(field.baseColumn, keys[k])) keyField = f;
      }
      if (!keyField)
        throw sqlError(sqlerr::IllegalOperation,
                       fmt::format("The key column {} of table {} is not among the fields, so the row cannot be saved",
                                   keys[k], write.info->name));
      const Variant& key = row.original[*keyField];
      if (key.isNull() || key.isEmpty()) throw rowNotFound(write.info->name, "changed (its key is empty)");
      sql += (k ? " AND " : "") + quoteName(keys[k]) + " = ?";
      const Connection::Column* column = write.info->column(keys[k]);
      parameters.push_back(storageValue(key, column->type, column->name));
    }
    return sql;
  }

  static AutomationError rowNotFound(const std::string& table, const char* what) {
    return sqlError(sqlerr::RowNotFound,
                    fmt::format("Row cannot be located for updating: the row of {} to be {} is no longer in the "
                                "database. Nothing was saved.",
                                table, what));
  }
};

}  // namespace

void RecordsetWriter::saveAll(Recordset& recordset) {
  recordset.update();  // a pending edit belongs to the save, as with a batch update
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < recordset.rows().size(); ++i)
    if (recordset.rows()[i].state != RowState::Unchanged) rows.push_back(i);
  saveRows(recordset, rows);
}

void RecordsetWriter::saveRows(Recordset& recordset, const std::vector<std::size_t>& rows) {
  if (!recordset.isOpen()) throw sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
  // Deletions first, so that a key deleted and added again in one save is
  // free when its new row goes in.
  std::vector<std::size_t> ordered;
  for (RowState state : {RowState::Deleted, RowState::Changed, RowState::Added})
    for (std::size_t i : rows)
      if (recordset.rows().at(i).state == state) ordered.push_back(i);
  if (ordered.empty()) return;

  std::vector<Recordset::SavedRow> saved;
  {
    Transaction transaction(connection_);
    RowWriter writer(connection_, recordset);
    for (std::size_t i : ordered) {
      const Recordset::Row& row = recordset.rows()[i];
      switch (row.state) {
        case RowState::Deleted:
          if (row.inDatabase) writer.remove(row);
          saved.push_back({i, {}});
          break;
        case RowState::Changed:
          saved.push_back({i, writer.update(row)});
          break;
        case RowState::Added:
          saved.push_back({i, writer.insert(row)});
          break;
        case RowState::Unchanged:
          break;
      }
    }
    transaction.commit();
  }
  recordset.acceptChanges(saved);
}

Recordset::RowWriter RecordsetWriter::throughConnection(std::weak_ptr<Connection> connection) {
  return [connection = std::move(connection)](Recordset& recordset, std::size_t row) {
    auto open = connection.lock();
    if (!open || !open->isOpen())
      throw sqlError(sqlerr::ObjectClosed, "The connection of this recordset is closed; the row was not written.");
    RecordsetWriter(*open).saveRows(recordset, {row});
  };
}

}  // namespace quill::sql
