#include "platform/sql/SqlError.h"

#include <sqlite3.h>

namespace quill::sql {

AutomationError sqlError(std::int32_t number, std::string description) {
  return AutomationError(number, kErrorSource, std::move(description));
}

bool isTryAgain(const AutomationError& error) {
  if (error.number() != sqlerr::Failed || error.source() != kErrorSource) return false;
  const std::string& text = error.description();
  return text.find("try again") != std::string::npos || text.find("Try again") != std::string::npos;
}

AutomationError sqliteError(sqlite3* db, int code, std::string_view context) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  const int primary = code & 0xff;
  std::string lead;
  std::int32_t number = sqlerr::Failed;
  if (message.rfind("no such table", 0) == 0) {
    number = sqlerr::NoTable;
    lead = "Invalid object name";
  } else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
    lead = "The database is in use by another user; nothing was changed. Try again";
  } else if (primary == SQLITE_CONSTRAINT) {
    number = sqlerr::IntegrityViolation;
    lead = "The change breaks a rule of the database";
  } else if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) {
    lead = "The database file is damaged or is not a database";
  } else if (primary == SQLITE_CANTOPEN) {
    lead = "The database file cannot be opened";
  } else if (primary == SQLITE_READONLY) {
    lead = "The database cannot be written";
  } else if (primary == SQLITE_FULL) {
    lead = "The disk is full; nothing was changed";
  } else if (primary == SQLITE_ERROR) {
    // Everything the engine rejects in the text of a command: syntax,
    // unknown columns and functions, wrong argument counts.
    number = sqlerr::ErrorsInCommand;
    lead = "Error in the command";
  } else {
    lead = "Database error";
  }
  std::string description = lead + ": " + message;
  if (!context.empty()) description += " (" + std::string(context) + ")";
  return sqlError(number, std::move(description));
}

}  // namespace quill::sql
