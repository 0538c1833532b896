#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::sql {

// Where a company database on a server is and who logs in: a host (with a
// port, or the driver's default) or an ODBC data source name, the database,
// and a user and password, or the operating system's login when
// `integratedLogin` is set.
struct ServerAddress {
  std::string host;
  int port = 0;                // 0: the driver's default
  std::string dataSourceName;  // instead of host and port
  std::string database;
  std::string user;
  std::string password;
  bool integratedLogin = false;
  std::string driver = "PostgreSQL Unicode";

  // Reads a "Data Source" value: "host", "host:port", "host,port" (the
  // original server's way of writing a port) or a data source name ("dsn:NAME"
  // or a plain name that the ODBC configuration knows). Empty text and a bad
  // port give nothing.
  static std::optional<ServerAddress> fromDataSource(std::string_view dataSource);

  // The connection string the ODBC driver manager takes; values with
  // separators are braced.
  std::string odbcConnectionString() const;
  // "host:port/database" (or "dsn/database"), for messages.
  std::string describe() const;
};

}  // namespace quill::sql
