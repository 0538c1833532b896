#include "platform/sql/StatementCache.h"

#include <sqlite3.h>

namespace quill::sql {

CachedStatement::~CachedStatement() { sqlite3_finalize(statement); }

}  // namespace quill::sql
