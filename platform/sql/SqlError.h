#pragma once

#include <cstdint>
#include <string>

#include "platform/automation/AutomationError.h"

struct sqlite3;

namespace quill::sql {

// The source of every error the SQL layer raises.
inline constexpr const char* kErrorSource = "Quill.Sql";

// Error numbers that callers compare. The first group are the OLE DB codes a
// provider answers for a failing command (the commission window creates its
// table when a probe fails with one of the first two); the second are the
// numbers VB code sees for misuse of a recordset.
namespace sqlerr {
inline constexpr std::int32_t NoTable = -2147217865;          // DB_E_NOTABLE
inline constexpr std::int32_t ErrorsInCommand = -2147217900;  // DB_E_ERRORSINCOMMAND
inline constexpr std::int32_t IntegrityViolation = -2147217873;
inline constexpr std::int32_t RowNotFound = -2147217864;  // row changed or removed by someone else
inline constexpr std::int32_t Failed = -2147467259;       // E_FAIL: locked, I/O, anything else

inline constexpr std::int32_t InvalidArgument = 3001;
inline constexpr std::int32_t NoCurrentRecord = 3021;
inline constexpr std::int32_t IllegalOperation = 3219;
inline constexpr std::int32_t ItemNotFound = 3265;
inline constexpr std::int32_t WrongValueType = 3421;
inline constexpr std::int32_t ObjectClosed = 3704;
}  // namespace sqlerr

AutomationError sqlError(std::int32_t number, std::string description);

// True for a failure that another user's change at the same moment caused (a
// lock held too long, a deadlock, a conflicting change): nothing was written
// and the same change may simply be made again. Both backends say so in the
// description ("... try again").
bool isTryAgain(const AutomationError& error);

// The error for a failed SQLite call: the number chosen from SQLite's code
// and message, the description SQLite's own text behind a plain lead-in.
AutomationError sqliteError(sqlite3* db, int code, std::string_view context = {});

}  // namespace quill::sql
