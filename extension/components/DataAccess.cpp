#include "extension/components/DataAccess.h"

#include <filesystem>
#include <system_error>

#include "extension/components/ConnectionString.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/RecordsetWriter.h"
#include "platform/sql/ServerAddress.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/Conversions.h"

namespace quill {

namespace {

namespace fs = std::filesystem;

// A database name is a plain name: no folders, nothing that climbs out of
// the server's folder.
bool plainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c == ':' || c < 0x20) return false;
  return true;
}

// The file of a database in the server's folder. Names compare without
// regard to case, as database names do on the original server.
fs::path databaseFile(const fs::path& folder, const std::string& name) {
  const fs::path exact = folder / (name + ".db");
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string file = entry.path().filename().string();
    if (equalsNoCase(file, name + ".db")) return entry.path();
  }
  return exact;
}

// The ERP's tables of articles and clients, which every part of the
// extension reads: a database without them (an empty file, another
// program's database) is not a company of the ERP.
constexpr std::string_view kCompanyTables[] = {"ARTIGOS", "CLIENTES"};

std::shared_ptr<sql::Recordset> recordsetArgument(const Variant& value) {
  auto recordset = std::dynamic_pointer_cast<sql::Recordset>(requireObject(value));
  if (!recordset)
    throw sql::sqlError(vberr::TypeMismatch, "Type mismatch: SaveRecordset needs a recordset of this database");
  return recordset;
}

}  // namespace

DataAccess::DataAccess() = default;

DataAccess::~DataAccess() {
  if (connection_) connection_->close();
}

bool DataAccess::OpenConnection(std::string_view connectionString) {
  CloseConnection();
  lastError_.clear();
  try {
    std::string why;
    auto parsed = ConnectionString::parse(connectionString, why);
    if (!parsed) {
      lastError_ = "The connection string is not valid: " + why;
      return false;
    }
    const std::string server = parsed->value("Data Source");
    const std::string database = parsed->value("Initial Catalog");
    if (server.empty()) {
      lastError_ = "The connection string names no server (Data Source)";
      return false;
    }
    if (database.empty()) {
      lastError_ = "The connection string names no database (Initial Catalog)";
      return false;
    }
    std::error_code ec;
    if (!fs::is_directory(server, ec)) {
      // Not a folder: a database server, by host, host:port or data source name.
      auto address = sql::ServerAddress::fromDataSource(server);
      if (!address || server.find_first_of("/\\") != std::string::npos) {
        lastError_ = "The server \"" + server + "\" cannot be reached: it is not a folder holding company databases";
        return false;
      }
      address->database = database;
      address->user = parsed->value("User ID");
      address->password = parsed->value("Password");
      address->integratedLogin = address->user.empty() && !parsed->value("Integrated Security").empty();
      auto connection = sql::Connection::open(*address);
      if (setup_) setup_(*connection);
      connection_ = std::move(connection);
      return true;
    }
    if (!plainName(database)) {
      lastError_ = "The database name \"" + database + "\" is not valid";
      return false;
    }
    const fs::path file = databaseFile(server, database);
    if (!fs::is_regular_file(file, ec)) {
      lastError_ = "The database \"" + database + "\" does not exist on the server \"" + server + "\"";
      return false;
    }
    // Looked at read-only first: opening for writing would turn an empty
    // file into a database.
    if (auto missing = sql::Database(file, sql::Database::Mode::ReadOnly).missingTables(kCompanyTables);
        !missing.empty()) {
      std::string names;
      for (const auto& name : missing) names += (names.empty() ? "" : ", ") + name;
      lastError_ = "The database \"" + database + "\" on the server \"" + server +
                   "\" is not a company database: it has no table " + names;
      return false;
    }
    auto connection = sql::Connection::open(file);
    if (setup_) setup_(*connection);
    connection_ = std::move(connection);
    return true;
  } catch (const AutomationError& e) {
    lastError_ = e.description();
  } catch (const std::exception& e) {
    lastError_ = e.what();
  } catch (...) {
    lastError_ = "The database could not be opened";
  }
  connection_.reset();
  return false;
}

void DataAccess::CloseConnection() {
  if (!connection_) return;
  auto connection = std::move(connection_);
  connection->close();
}

bool DataAccess::isOpen() const { return connection_ && connection_->isOpen(); }

sql::Connection& DataAccess::connection() {
  if (!isOpen())
    throw sql::sqlError(sql::sqlerr::ObjectClosed,
                        "Operation is not allowed when the object is closed: the "
                        "connection to the database is not open.");
  return *connection_;
}

void DataAccess::Execute(std::string_view sql) { connection().execute(sql); }

std::shared_ptr<sql::Recordset> DataAccess::OpenRecordset(std::string_view sql) { return connection().query(sql); }

void DataAccess::SaveRecordset(sql::Recordset& recordset) { sql::RecordsetWriter(connection()).saveAll(recordset); }

std::shared_ptr<sql::Recordset> DataAccess::OpenUpdatable(std::string_view sql) {
  auto recordset = connection().query(sql);
  recordset->writeThrough(sql::RecordsetWriter::throughConnection(connection_));
  return recordset;
}

sql::Transaction DataAccess::BeginTransaction() { return sql::Transaction(connection()); }

std::shared_ptr<sql::Connection> DataAccess::GetConnection() {
  connection();
  return connection_;
}

// ---- Late-bound object ----

const MemberTable<DataAccess>& DataAccess::members() {
  using Args = MemberTable<DataAccess>::Args;
  static const auto table =
      MemberTable<DataAccess>()
          .method(
              "OpenConnection", [](DataAccess& d, Args a) { return Variant(d.OpenConnection(vb::CStr(a[0]))); },
              Arity::exactly(1))
          .sub(
              "CloseConnection", [](DataAccess& d, Args) { d.CloseConnection(); }, Arity::exactly(0))
          .method(
              "Execute",
              [](DataAccess& d, Args a) {
                d.Execute(vb::CStr(a.back()));
                return Variant(true);
              },
              Arity{1, 2})
          .method(
              "OpenRecordset",
              [](DataAccess& d, Args a) {
                a[2] = Variant(DispatchPtr(d.OpenRecordset(vb::CStr(a[1]))));
                return Variant(true);
              },
              Arity{3, 5})
          .method(
              "SaveRecordset",
              [](DataAccess& d, Args a) {
                d.SaveRecordset(*recordsetArgument(a[1]));
                return Variant(true);
              },
              Arity::exactly(2))
          .method(
              "OpenUpdatable",
              [](DataAccess& d, Args a) {
                a[1] = Variant(DispatchPtr(d.OpenUpdatable(vb::CStr(a[0]))));
                return Variant(true);
              },
              Arity{2, 4})
          .method(
              "GetConnection",
              [](DataAccess& d, Args a) {
                a[0] = Variant(DispatchPtr(d.GetConnection()));
                return Variant(true);
              },
              Arity::exactly(1));
  return table;
}

std::shared_ptr<DataAccess> dataAccessOf(const Variant& value) {
  auto object = std::dynamic_pointer_cast<DataAccess>(requireObject(value));
  if (!object) throw vbError(vberr::TypeMismatch, "DataAccess");
  return object;
}

}  // namespace quill
