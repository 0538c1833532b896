#include "platform/sql/Connection.h"

#include "platform/automation/Dispatch.h"
#include "platform/sql/Field.h"
#include "platform/sql/OdbcConnection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqliteConnection.h"
#include "platform/vb/Conversions.h"

namespace quill::sql {

std::shared_ptr<Connection> Connection::open(const std::filesystem::path& file, OpenMode mode) {
  return SqliteConnection::open(file, mode);
}

std::shared_ptr<Connection> Connection::open(const ServerAddress& server) { return OdbcConnection::open(server); }

Connection::~Connection() = default;

void Connection::requireOpen() const {
  if (!isOpen()) throw sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
}

std::shared_ptr<Recordset> Connection::callProcedure(std::string_view name, const ProcedureArguments& arguments) {
  requireOpen();
  return procedures_.find(name)(arguments, *this);
}

const Connection::Column* Connection::TableInfo::column(std::string_view name) const {
  for (const auto& c : columns)
    if (equalsNoCase(c.name, name)) return &c;
  return nullptr;
}

const Connection::TableInfo& Connection::tableInfo(std::string_view table) {
  requireOpen();
  std::string key = foldCase(table);
  if (auto it = tables_.find(key); it != tables_.end()) return it->second;
  TableInfo info = loadTableInfo(key);
  return tables_.emplace(std::move(key), std::move(info)).first->second;
}

// ---- Late-bound object ----

const MemberTable<Connection>& Connection::members() {
  static const auto table =
      MemberTable<Connection>()
          .method(
              "Execute",
              [](Connection& c, MemberTable<Connection>::Args a) {
                return Variant(DispatchPtr(c.query(vb::CStr(a[0]))));
              },
              Arity{1, 3})
          .sub(
              "Close", [](Connection& c, auto) { c.close(); }, Arity::exactly(0))
          .property("State", [](Connection& c, auto) { return Variant(std::int32_t{c.isOpen() ? 1 : 0}); });
  return table;
}

const Connection::Column* Connection::setBaseColumn(Field& field, const std::string& table, const std::string& column) {
  const TableInfo& info = tableInfo(table);
  field.baseTable = info.name.empty() ? table : info.name;
  field.baseColumn = column;
  const Column* c = info.column(column);
  if (c) {
    field.baseColumn = c->name;
    field.key = c->key;
    field.identity = c->identity;
  }
  return c;
}

}  // namespace quill::sql
