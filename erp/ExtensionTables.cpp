#include "erp/ExtensionTables.h"

#include "platform/sql/Database.h"

namespace quill::erp {

// Defined in the source generated from quill_tables.sql at build time.
extern const char* const kExtensionTablesScript;

std::string_view ExtensionTables::script() { return kExtensionTablesScript; }

void ExtensionTables::install(sql::Database& db) { db.exec(script()); }

}  // namespace quill::erp
