#include "platform/sql/ServerAddress.h"

#include <charconv>

#include "platform/automation/Dispatch.h"

namespace quill::sql {

namespace {

// A value of an ODBC connection string: braced when it holds a separator or
// a brace, with a closing brace doubled.
std::string odbcValue(const std::string& value) {
  if (value.find_first_of(";{}= ") == std::string::npos) return value;
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

}  // namespace

std::optional<ServerAddress> ServerAddress::fromDataSource(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  ServerAddress address;
  if (text.substr(0, 4) == "dsn:" || text.substr(0, 4) == "DSN:") {
    address.dataSourceName = std::string(text.substr(4));
    if (address.dataSourceName.empty()) return std::nullopt;
    return address;
  }
  const std::size_t separator = text.find_last_of(":,");
  if (separator != std::string_view::npos) {
    const std::string_view port = text.substr(separator + 1);
    int value = 0;
    auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (ec != std::errc() || end != port.data() + port.size() || value <= 0 || value > 65535) return std::nullopt;
    address.port = value;
    text = text.substr(0, separator);
    if (text.empty()) return std::nullopt;
  }
  address.host = std::string(text);
  return address;
}

std::string ServerAddress::odbcConnectionString() const {
  std::string out;
  if (!dataSourceName.empty()) {
    out = "DSN=" + odbcValue(dataSourceName) + ";";
  } else {
    out = "Driver=" + odbcValue(driver) + ";Server=" + odbcValue(host) + ";";
    if (port) out += "Port=" + std::to_string(port) + ";";
  }
  // The server folds the names of what the system creates to lower case
  // (CREATE DATABASE QUILLDEMO makes "quilldemo"), so the database named in
  // a connection string is folded the same way.
  if (!database.empty()) out += "Database=" + odbcValue(foldCase(database)) + ";";
  if (!integratedLogin) out += "Uid=" + odbcValue(user) + ";Pwd=" + odbcValue(password) + ";";
  return out;
}

std::string ServerAddress::describe() const {
  std::string where = dataSourceName.empty() ? host + (port ? ":" + std::to_string(port) : "") : dataSourceName;
  return where + "/" + database;
}

}  // namespace quill::sql
