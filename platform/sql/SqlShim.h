#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::sql {

// The dialect a shim writes: the embedded database's or the server's.
enum class SqlDialect { Sqlite, Postgres };

// The case-insensitive collation of code columns on the server; the server
// backend creates it on every database it opens.
inline constexpr const char* kPostgresCaseInsensitiveCollation = "quill_ci";

// Translates the T-SQL the system writes into SQLite's dialect, token by
// token, never touching string literals or comments:
//
//   INSERT t (...) SELECT/VALUES        -> INSERT INTO t ...
//   Delete t where ...                   -> DELETE FROM t where ...
//   [name], [dbo].name, dbo.name         -> "name"
//   GETDATE ()                           -> the local date and time, 'yyyy-mm-dd hh:mm:ss'
//   CONVERT(DATETIME, 'yyyy-mm-dd', 102) -> 'yyyy-mm-dd 00:00:00'
//   x <= 'yyyy-mm-dd' (any comparison)   -> x <= 'yyyy-mm-dd 00:00:00'
//   CONVERT(type, expr [, style])        -> CAST(expr AS type), dates left as their text
//   month(x), year(x), day(x)            -> the number read from the stored date text
//   ISNULL(a, b)                         -> IFNULL(a, b)
//   DATEADD(day|week|hour|minute|second, n, d) -> d moved, as stored date text
//   DATEDIFF(day, a, b)                  -> the day boundaries from a to b
//   SELECT TOP n ...                     -> SELECT ... LIMIT n
//   CREATE TABLE with IDENTITY, COLLATE ..._CI_..., [money], [nvarchar](n),
//     CONSTRAINT ... PRIMARY KEY CLUSTERED (...), ON [PRIMARY]
//
// Dates are stored as 'yyyy-mm-dd hh:mm:ss' text, so a converted date
// literal, and a bare day compared with something, carries its midnight
// time: a price starting on a day compares equal to that day, as it does on
// the original server.
//
// Text already in SQLite's dialect passes through unchanged. Translation is
// pure: callers cache it by statement text.
//
// For PostgreSQL the same constructs become the server's forms: GETDATE ()
// is LOCALTIMESTAMP(0), dates are real timestamps (CAST(... AS TIMESTAMP)),
// month(x) is EXTRACT, ISNULL is COALESCE, DATEADD and DATEDIFF use
// intervals and date subtraction, bracketed names are folded to lower case as
// the server folds plain ones, and CREATE TABLE declares the server's types
// (VARCHAR(n), DOUBLE PRECISION, TIMESTAMP(0), an IDENTITY column generated
// by default) with case-insensitive collations as the server's own.
class SqlShim {
 public:
  explicit SqlShim(SqlDialect dialect = SqlDialect::Sqlite) : dialect_(dialect) {}
  SqlDialect dialect() const { return dialect_; }

  std::string translate(std::string_view tsql) const;

  // The translation with the text literals of a query or change statement
  // taken out as parameters ("?", in order), so that statements differing
  // only in the codes they name share one prepared statement. Literals the
  // shim itself reads (a converted date), aliases written as literals, and
  // statements that are not one SELECT, INSERT, UPDATE or DELETE without
  // parameters of their own keep their literals (`literals` is empty).
  struct Parameterized {
    std::string sql;
    std::vector<std::string> literals;
  };
  Parameterized parameterize(std::string_view tsql) const;

 private:
  SqlDialect dialect_;
};

}  // namespace quill::sql
