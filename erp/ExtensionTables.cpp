#include "erp/ExtensionTables.h"

#include "erp/SqliteDatabase.h"

namespace quill::erp {

// Defined in the source generated from quill_tables.sql at build time.
extern const char* const kExtensionTablesScript;

std::string_view ExtensionTables::script() { return kExtensionTablesScript; }

void ExtensionTables::install(SqliteDatabase& db) { db.exec(script()); }

}  // namespace quill::erp
