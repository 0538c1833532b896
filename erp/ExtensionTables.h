#pragma once

#include <string_view>

namespace quill::sql {
class Database;
}

namespace quill::erp {

// The extension's installation script for its own tables (quill_tables.sql),
// compiled into the library so that a company can be prepared anywhere.
class ExtensionTables {
 public:
  static std::string_view script();
  // Runs the script on a company database; running it twice changes nothing.
  static void install(sql::Database& db);
};

}  // namespace quill::erp
