// The code collation for tools of SQLite's own: loaded into the plain
// sqlite3 shell (".load libquill_collation"), it lets the shell compare and
// change codes of a company database by the rule Quill uses.

#include <sqlite3ext.h>

#include <string_view>

#include "platform/sql/ValueOrder.h"

SQLITE_EXTENSION_INIT1

namespace {
int compareCodes(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return quill::sql::compareTextNoCase(
      std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}
}  // namespace

// SQLite looks for the entry point named after the file: libquill_collation.so.
extern "C" __attribute__((visibility("default"))) int sqlite3_quillcollation_init(sqlite3* db, char**,
                                                                                  const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  return sqlite3_create_collation_v2(db, quill::sql::kCodeCollation, SQLITE_UTF8, nullptr, compareCodes, nullptr);
}
