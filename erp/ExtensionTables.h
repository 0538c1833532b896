#pragma once

#include <string_view>

namespace quill::erp {

class SqliteDatabase;

// The extension's installation script for its own tables (quill_tables.sql),
// compiled into the library so that a company can be prepared anywhere.
class ExtensionTables {
 public:
  static std::string_view script();
  // Runs the script on a company database; running it twice changes nothing.
  static void install(SqliteDatabase& db);
};

}  // namespace quill::erp
