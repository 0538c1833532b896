#pragma once

struct sqlite3;

namespace quill::bench {

// Gives a plain SQLite connection (a baseline's, opened with sqlite3 alone)
// the company database's code collation: without it SQLite refuses to read
// a schema whose code columns declare it.
void addCodeCollation(sqlite3* db);

}  // namespace quill::bench
