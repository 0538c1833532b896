#include "bench/erp/RawSqlite.h"

#include <sqlite3.h>

#include <string_view>

#include "platform/sql/ValueOrder.h"

namespace quill::bench {

namespace {
int compareCodes(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return sql::compareTextNoCase(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
                                std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}
}  // namespace

void addCodeCollation(sqlite3* db) {
  sqlite3_create_collation_v2(db, sql::kCodeCollation, SQLITE_UTF8, nullptr, compareCodes, nullptr);
}

}  // namespace quill::bench
