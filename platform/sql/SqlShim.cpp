#include "platform/sql/SqlShim.h"

#include <fmt/format.h>

#include <optional>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlLexer.h"
#include "platform/sql/ValueOrder.h"
#include "platform/vb/OleDate.h"

namespace quill::sql {

namespace {

using Kind = SqlToken::Kind;
constexpr std::size_t npos = static_cast<std::size_t>(-1);

std::string quoteName(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

AutomationError commandError(std::string what) {
  return sqlError(sqlerr::ErrorsInCommand, "Error in the command: " + std::move(what));
}

// A column type of the original server as SQLite should declare it. The
// declared names keep what the recordset needs to type its fields: dates stay
// DATETIME, 16-bit integers SMALLINT, flags BIT.
std::string sqliteType(std::string_view tsqlType, bool identity) {
  const std::string t = upper(tsqlType);
  if (identity) return "INTEGER";
  if (t == "MONEY" || t == "SMALLMONEY" || t == "FLOAT" || t == "REAL" || t == "DECIMAL" || t == "NUMERIC")
    return "REAL";
  if (t == "NVARCHAR" || t == "VARCHAR" || t == "NCHAR" || t == "CHAR" || t == "TEXT" || t == "NTEXT" ||
      t == "UNIQUEIDENTIFIER" || t == "SYSNAME")
    return "TEXT";
  if (t == "DATETIME" || t == "SMALLDATETIME" || t == "DATETIME2" || t == "DATE") return "DATETIME";
  if (t == "INT") return "INT";
  return t;  // SMALLINT, TINYINT, BIGINT, BIT, and anything SQLite reads by itself
}

bool isServerCharacterType(std::string_view tsqlType) {
  const std::string t = upper(tsqlType);
  return t == "NVARCHAR" || t == "VARCHAR" || t == "NCHAR" || t == "CHAR" || t == "NTEXT" || t == "SYSNAME";
}

// The collation of the original server's name: case-insensitive ones become
// the code collation, the rest compare byte by byte.
std::string sqliteCollation(std::string_view tsqlCollation) {
  const std::string c = upper(tsqlCollation);
  if (c == "NOCASE" || c == kCodeCollation || c.find("_CI") != std::string::npos) return kCodeCollation;
  if (c == "RTRIM") return "RTRIM";
  return "BINARY";
}

// 'yyyy-mm-dd', 'yyyy.mm.dd', 'yyyy/mm/dd' or 'yyyymmdd', with an optional
// time; 'dd-mm-yyyy' and 'dd/mm/yyyy' for the day-first styles.
std::optional<std::string> dateLiteral(std::string text, int style) {
  for (char& c : text)
    if (c == '.' || c == '/') c = '-';
  if (style == 103 || style == 104 || style == 105) {
    if (text.size() >= 10 && text[2] == '-' && text[5] == '-')
      text = text.substr(6, 4) + "-" + text.substr(3, 2) + "-" + text.substr(0, 2) + text.substr(10);
  } else if (text.size() >= 8 && text.find('-') == std::string::npos) {
    text = text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6);
  }
  auto date = vb::parseIsoText(text);
  if (!date) return std::nullopt;
  return "'" + vb::toIsoText(*date) + "'";
}

// One column or table constraint of a CREATE TABLE, as SQLite will read it.
struct TableElement {
  std::vector<std::string> parts;
  bool constraint = false;
  std::vector<std::string> keyColumns;  // of a PRIMARY KEY constraint
  std::string column;                   // of a column definition
  bool identity = false;
};

// The tokens of one translation, edited in place; a removed token keeps its
// slot with empty text so indexes stay valid.
class Rewriter {
 public:
  explicit Rewriter(std::vector<SqlToken> tokens) : t_(std::move(tokens)) {}

  std::string text() const {
    std::string out;
    for (const auto& tok : t_) out += tok.text;
    return out;
  }

  // After translate(): every literal still in the text, except an alias
  // ("AS 'name'"), becomes "?" and is handed back in order.
  SqlShim::Parameterized takeLiterals() {
    SqlShim::Parameterized out;
    const SqlToken* previous = nullptr;
    for (auto& tok : t_) {
      if (tok.text.empty() || !tok.significant()) continue;
      if (tok.kind == Kind::String && !(previous && previous->isWord("AS"))) {
        out.literals.push_back(tok.stringValue());
        tok.text = "?";
      }
      previous = &tok;
    }
    out.sql = text();
    return out;
  }

  void translate() {
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= t_.size(); ++i) {
      if (i == t_.size() || t_[i].isSymbol(";")) {
        statement(begin, i);
        begin = i + 1;
      }
    }
  }

 private:
  std::vector<SqlToken> t_;

  std::size_t nextSig(std::size_t i, std::size_t end) const {
    for (std::size_t j = i + 1; j < end; ++j)
      if (t_[j].significant() && !t_[j].text.empty()) return j;
    return npos;
  }
  std::size_t prevSig(std::size_t i, std::size_t begin) const {
    for (std::size_t j = i; j-- > begin;)
      if (t_[j].significant() && !t_[j].text.empty()) return j;
    return npos;
  }
  std::size_t matchParen(std::size_t open, std::size_t end) const {
    int depth = 0;
    for (std::size_t j = open; j < end; ++j) {
      if (t_[j].isSymbol("(")) ++depth;
      if (t_[j].isSymbol(")") && --depth == 0) return j;
    }
    throw commandError("a parenthesis is not closed");
  }
  // Indexes of the commas directly inside the parentheses open..close.
  std::vector<std::size_t> topCommas(std::size_t open, std::size_t close) const {
    std::vector<std::size_t> out;
    int depth = 0;
    for (std::size_t j = open + 1; j < close; ++j) {
      if (t_[j].isSymbol("("))
        ++depth;
      else if (t_[j].isSymbol(")"))
        --depth;
      else if (depth == 0 && t_[j].isSymbol(","))
        out.push_back(j);
    }
    return out;
  }
  void erase(std::size_t from, std::size_t to) {  // [from, to)
    for (std::size_t j = from; j < to; ++j) t_[j].text.clear();
  }
  bool followedByParen(std::size_t i, std::size_t end) const {
    std::size_t n = nextSig(i, end);
    return n != npos && t_[n].isSymbol("(");
  }

  void statement(std::size_t begin, std::size_t end) {
    std::size_t first = begin;
    while (first < end && !(t_[first].significant() && !t_[first].text.empty())) ++first;
    if (first == end) return;
    if (t_[first].isWord("CREATE")) {
      std::size_t second = nextSig(first, end);
      if (second != npos && t_[second].isWord("TABLE")) {
        createTable(first, end);
        return;
      }
    }
    for (std::size_t i = begin; i < end; ++i) token(i, begin, end);
  }

  void token(std::size_t i, std::size_t begin, std::size_t end) {
    SqlToken& tok = t_[i];
    if (tok.text.empty()) return;
    if (tok.kind == Kind::QuotedName || tok.kind == Kind::Word) {
      // [dbo].name and dbo.name: the owner means nothing to a file database.
      if (equalsNoCase(tok.name(), "dbo")) {
        std::size_t dot = nextSig(i, end);
        if (dot != npos && t_[dot].isSymbol(".")) {
          erase(i, dot + 1);
          return;
        }
      }
    }
    if (tok.kind == Kind::QuotedName) {
      tok.text = quoteName(tok.name());
      return;
    }
    if (tok.kind == Kind::String) {
      dayComparedWithADate(i, begin, end);
      return;
    }
    if (tok.kind != Kind::Word) return;
    if (tok.isWord("INSERT")) {
      std::size_t n = nextSig(i, end);
      if (n != npos && !t_[n].isWord("INTO") && !triggerEvent(i, begin)) tok.text += " INTO";
    } else if (tok.isWord("DELETE")) {
      std::size_t n = nextSig(i, end);
      if (n != npos && !t_[n].isWord("FROM") && !triggerEvent(i, begin) &&
          (t_[n].kind == Kind::Word || t_[n].kind == Kind::QuotedName))
        tok.text += " FROM";
    } else if (tok.isWord("SELECT")) {
      top(i, end);
    } else if (followedByParen(i, end)) {
      std::size_t before = prevSig(i, begin);
      if (before != npos && t_[before].isSymbol(".")) return;  // a column named like a function
      function(i, end);
    }
  }

  // INSERT or DELETE naming the event of a trigger ("BEFORE INSERT ON t"),
  // not a statement.
  bool triggerEvent(std::size_t i, std::size_t begin) const {
    std::size_t before = prevSig(i, begin);
    return before != npos && (t_[before].isWord("BEFORE") || t_[before].isWord("AFTER") || t_[before].isWord("OF"));
  }

  static bool isComparison(const SqlToken& t) {
    for (const char* op : {"=", "<", ">", "<=", ">=", "<>", "!="})
      if (t.isSymbol(op)) return true;
    return t.isWord("BETWEEN");
  }

  // A bare day ('yyyy-mm-dd') compared with a stored date means that day at
  // midnight, as the original server reads it: stored dates carry their time,
  // so the literal gets one too ('2026-03-01 00:00:00'). A period ending on a
  // day then includes what starts at midnight on it, and not what starts later
  // that day.
  void dayComparedWithADate(std::size_t i, std::size_t begin, std::size_t end) {
    const std::string value = t_[i].stringValue();
    if (value.size() != 10 || value[4] != '-' || value[7] != '-' || !vb::parseIsoText(value)) return;
    std::size_t before = prevSig(i, begin);
    std::size_t after = nextSig(i, end);
    bool compared = (before != npos && isComparison(t_[before])) || (after != npos && isComparison(t_[after]));
    if (!compared && before != npos && t_[before].isWord("AND")) {
      // The upper bound of BETWEEN x AND y.
      std::size_t lower = prevSig(before, begin);
      std::size_t between = lower == npos ? npos : prevSig(lower, begin);
      compared = between != npos && t_[between].isWord("BETWEEN");
    }
    if (compared) t_[i].text = "'" + value + " 00:00:00'";
  }

  void function(std::size_t i, std::size_t end) {
    SqlToken& tok = t_[i];
    const std::size_t open = nextSig(i, end);
    if (tok.isWord("GETDATE")) {
      std::size_t close = matchParen(open, end);
      if (nextSig(open, end) != close) throw commandError("GETDATE takes no arguments");
      tok.text = "strftime('%Y-%m-%d %H:%M:%S','now','localtime')";
      erase(i + 1, close + 1);
    } else if (tok.isWord("ISNULL")) {
      tok.text = "IFNULL";
    } else if (tok.isWord("MONTH") || tok.isWord("YEAR") || tok.isWord("DAY")) {
      std::size_t close = matchParen(open, end);
      const char* part = tok.isWord("MONTH") ? "%m" : tok.isWord("YEAR") ? "%Y" : "%d";
      tok.text = fmt::format("CAST(strftime('{}',", part);
      erase(i + 1, open + 1);
      t_[close].text = ") AS INTEGER)";
    } else if (tok.isWord("CONVERT")) {
      convert(i, open, end);
    } else if (tok.isWord("DATEADD")) {
      dateAdd(i, open, end);
    } else if (tok.isWord("DATEDIFF")) {
      dateDiff(i, open, end);
    }
  }

  // The days in one unit of a DATEADD or DATEDIFF interval; DATEDIFF counts
  // only days.
  double intervalDays(std::size_t open, std::size_t comma, bool daysOnly, const char* function) const {
    std::size_t part = nextSig(open, comma);
    const std::string name = part == npos ? std::string() : upper(t_[part].name());
    if (part == npos || nextSig(part, comma) != npos)
      throw commandError(std::string(function) + " without an interval");
    if (name == "DAY" || name == "DD" || name == "D" || name == "DAYOFYEAR" || name == "DY" || name == "Y") return 1;
    if (!daysOnly) {
      if (name == "WEEK" || name == "WK" || name == "WW") return 7;
      if (name == "HOUR" || name == "HH") return 1.0 / 24;
      if (name == "MINUTE" || name == "MI" || name == "N") return 1.0 / 1440;
      if (name == "SECOND" || name == "SS" || name == "S") return 1.0 / 86400;
    }
    throw commandError(std::string(function) + " by " + t_[part].text + " is not supported");
  }

  // DATEADD(day, n, d): d moved by n days, as stored date text; Null stays Null.
  void dateAdd(std::size_t i, std::size_t open, std::size_t end) {
    const std::size_t close = matchParen(open, end);
    const auto commas = topCommas(open, close);
    if (commas.size() != 2) throw commandError("DATEADD takes an interval, a number and a date");
    const double days = intervalDays(open, commas[0], false, "DATEADD");
    t_[i].text = "strftime";
    t_[open].text = "('%Y-%m-%d %H:%M:%S', (";
    erase(open + 1, commas[0] + 1);
    t_[commas[1]].text = days == 1 ? ") + julianday(" : fmt::format(") * {:.17g} + julianday(", days);
    t_[close].text = "))";
  }

  // DATEDIFF(day, a, b): the day boundaries from a to b, negative when b is
  // before a; the times of day do not count.
  void dateDiff(std::size_t i, std::size_t open, std::size_t end) {
    const std::size_t close = matchParen(open, end);
    const auto commas = topCommas(open, close);
    if (commas.size() != 2) throw commandError("DATEDIFF takes an interval and two dates");
    intervalDays(open, commas[0], true, "DATEDIFF");
    t_[i].text = "CAST";
    t_[open].text = "(-julianday(date(";
    erase(open + 1, commas[0] + 1);
    t_[commas[1]].text = ")) + julianday(date(";
    t_[close].text = ")) AS INTEGER)";
  }

  void convert(std::size_t i, std::size_t open, std::size_t end) {
    const std::size_t close = matchParen(open, end);
    const auto commas = topCommas(open, close);
    if (commas.empty() || commas.size() > 2) throw commandError("CONVERT takes a type, a value and a style");
    const std::size_t typeTok = nextSig(open, commas[0]);
    if (typeTok == npos) throw commandError("CONVERT without a type");
    const std::string type = upper(t_[typeTok].name());
    const std::size_t valueEnd = commas.size() > 1 ? commas[1] : close;
    int style = 0;
    if (commas.size() > 1) {
      std::size_t s = nextSig(commas[1], close);
      if (s != npos && t_[s].kind == Kind::Number) style = std::atoi(t_[s].text.c_str());
    }
    const bool toDate = type == "DATETIME" || type == "SMALLDATETIME" || type == "DATETIME2" || type == "DATE";
    if (toDate) {
      std::size_t v = nextSig(commas[0], valueEnd);
      if (v != npos && t_[v].kind == Kind::String && nextSig(v, valueEnd) == npos) {
        auto literal = dateLiteral(t_[v].stringValue(), style);
        if (!literal) throw commandError("the text " + t_[v].text + " is not a date");
        t_[i].text = *literal;
        erase(i + 1, close + 1);
        return;
      }
      // Stored dates are already their text: the value stands as it is.
      t_[i].text.clear();
      erase(open + 1, commas[0] + 1);
      erase(valueEnd, close);
      return;
    }
    t_[i].text = "CAST";
    erase(open + 1, commas[0] + 1);
    erase(valueEnd, close);
    t_[close].text = " AS " + sqliteType(type, false) + ")";
  }

  // SELECT [DISTINCT|ALL] TOP n ... -> SELECT ... LIMIT n, the limit closing
  // the same query level (a subquery's closing parenthesis or the statement end).
  void top(std::size_t select, std::size_t end) {
    std::size_t k = nextSig(select, end);
    if (k != npos && (t_[k].isWord("DISTINCT") || t_[k].isWord("ALL"))) k = nextSig(k, end);
    if (k == npos || !t_[k].isWord("TOP")) return;
    std::size_t n = nextSig(k, end);
    std::size_t last = n;
    if (n != npos && t_[n].isSymbol("(")) {
      last = matchParen(n, end);
      n = nextSig(n, last);
    }
    if (n == npos || t_[n].kind != Kind::Number) throw commandError("TOP needs a number of rows");
    std::size_t after = nextSig(last, end);
    if (after != npos && (t_[after].isWord("PERCENT") || t_[after].isWord("WITH")))
      throw commandError("TOP ... " + t_[after].text + " is not supported");
    const std::string limit = " LIMIT " + t_[n].text;
    erase(k, last + 1);
    int depth = 0;
    std::size_t j = last + 1;
    for (; j < end; ++j) {
      if (t_[j].isSymbol("(")) ++depth;
      if (t_[j].isSymbol(")") && depth-- == 0) break;
    }
    if (j < end)
      t_[j].text = limit + t_[j].text;
    else
      t_[prevSig(end, select)].text += limit;  // before any trailing comment
  }

  // CREATE TABLE is rebuilt from its parts: the original server's column
  // types, identity, collations and storage clauses have SQLite forms.
  void createTable(std::size_t create, std::size_t end) {
    std::size_t j = nextSig(nextSig(create, end), end);  // after TABLE
    std::string name;
    std::string ifNotExists;
    for (; j != npos && !t_[j].isSymbol("("); j = nextSig(j, end)) {
      if (t_[j].isSymbol(".")) continue;
      if (t_[j].isWord("AS")) {  // CREATE TABLE ... AS SELECT: an ordinary statement
        for (std::size_t i = create; i < end; ++i) token(i, create, end);
        return;
      }
      if (t_[j].isWord("IF") || t_[j].isWord("NOT") || t_[j].isWord("EXISTS")) {
        ifNotExists = "IF NOT EXISTS ";
        continue;
      }
      if (t_[j].kind == Kind::Word || t_[j].kind == Kind::QuotedName) name = t_[j].name();
    }
    if (j == npos || name.empty()) throw commandError("CREATE TABLE without a name or columns");
    const std::size_t open = j;
    const std::size_t close = matchParen(open, end);

    std::vector<TableElement> defs;
    std::size_t from = open;
    auto commas = topCommas(open, close);
    commas.push_back(close);
    for (std::size_t comma : commas) {
      defs.push_back(element(from, comma));
      from = comma;
    }
    // A T-SQL list may end with a comma before the closing parenthesis.
    if (!defs.empty() && defs.back().parts.empty()) defs.pop_back();

    const TableElement* identity = nullptr;
    for (auto& d : defs)
      if (d.identity) identity = &d;
    std::vector<std::string> rendered;
    for (auto& d : defs) {
      if (identity && d.constraint && !d.keyColumns.empty()) {
        if (d.keyColumns.size() == 1 && equalsNoCase(d.keyColumns[0], identity->column)) continue;
        throw commandError("the identity column " + identity->column + " must be the only key of " + name);
      }
      std::string text;
      for (const auto& p : d.parts) text += (text.empty() ? "" : " ") + p;
      rendered.push_back(text);
    }
    std::string out = "CREATE TABLE " + ifNotExists + quoteName(name) + " (";
    for (std::size_t k = 0; k < rendered.size(); ++k) out += (k ? ", " : "") + rendered[k];
    out += ")";
    t_[create].text = out;
    erase(create + 1, close + 1);
    // ON [PRIMARY], TEXTIMAGE_ON [PRIMARY] and WITH (...) after the list say
    // where the server stores the table.
    for (std::size_t k = nextSig(close, end); k != npos; k = nextSig(k, end)) {
      if (t_[k].isWord("ON") || t_[k].isWord("TEXTIMAGE_ON")) {
        std::size_t target = nextSig(k, end);
        erase(k, target == npos ? end : target + 1);
        if (target == npos) break;
        k = target;
      } else if (t_[k].isWord("WITHOUT") || t_[k].isWord("ROWID") || t_[k].isWord("STRICT") || t_[k].isSymbol(",")) {
        continue;  // SQLite's own table options stay as written
      } else if (t_[k].isWord("WITH") && followedByParen(k, end)) {
        std::size_t p = matchParen(nextSig(k, end), end);
        erase(k, p + 1);
        k = p;
      } else {
        throw commandError("unexpected " + t_[k].text + " after the columns of " + name);
      }
    }
  }

  // One column or table constraint of a CREATE TABLE: the tokens strictly
  // between two commas (or the list's parentheses).
  TableElement element(std::size_t from, std::size_t to) {
    TableElement e;
    std::vector<std::size_t> sig;
    for (std::size_t j = from + 1; j < to; ++j)
      if (t_[j].significant() && !t_[j].text.empty()) sig.push_back(j);
    if (sig.empty()) return e;
    auto render = [&](const SqlToken& tok) { return tok.kind == Kind::QuotedName ? quoteName(tok.name()) : tok.text; };
    auto skipParens = [&](std::size_t& k) {  // sig[k] is "(": move k onto its ")"
      int depth = 0;
      for (; k < sig.size(); ++k) {
        if (t_[sig[k]].isSymbol("(")) ++depth;
        if (t_[sig[k]].isSymbol(")") && --depth == 0) return;
      }
      throw commandError("a parenthesis is not closed");
    };
    auto isStorageWord = [&](const SqlToken& tok) {
      return tok.isWord("CLUSTERED") || tok.isWord("NONCLUSTERED") || tok.isWord("ROWGUIDCOL");
    };
    const SqlToken& first = t_[sig[0]];
    if (first.isWord("CONSTRAINT") || first.isWord("PRIMARY") || first.isWord("UNIQUE") || first.isWord("FOREIGN") ||
        first.isWord("CHECK")) {
      e.constraint = true;
      bool primaryKey = false;
      for (std::size_t k = 0; k < sig.size(); ++k) {
        const SqlToken& tok = t_[sig[k]];
        const SqlToken* next = k + 1 < sig.size() ? &t_[sig[k + 1]] : nullptr;
        if (isStorageWord(tok)) continue;
        if (tok.isWord("WITH") && next && next->isSymbol("(")) {
          ++k;
          skipParens(k);
          continue;
        }
        if (tok.isWord("ON") && next && !next->isWord("DELETE") && !next->isWord("UPDATE")) {
          ++k;
          continue;
        }
        if (tok.isWord("PRIMARY") && next && next->isWord("KEY")) primaryKey = true;
        if (primaryKey && e.keyColumns.empty() && tok.isSymbol("(")) {
          std::size_t k0 = k;
          skipParens(k);
          for (std::size_t c = k0 + 1; c < k; ++c) {
            const SqlToken& col = t_[sig[c]];
            if ((col.kind == Kind::Word || col.kind == Kind::QuotedName) && !col.isWord("ASC") && !col.isWord("DESC"))
              e.keyColumns.push_back(col.name());
          }
          for (std::size_t c = k0; c <= k; ++c) e.parts.push_back(render(t_[sig[c]]));
          continue;
        }
        e.parts.push_back(render(tok));
      }
      return e;
    }

    e.column = first.name();
    std::size_t k = 1;
    std::string type;
    if (k < sig.size() && (t_[sig[k]].kind == Kind::Word || t_[sig[k]].kind == Kind::QuotedName) &&
        !t_[sig[k]].isWord("IDENTITY")) {
      type = t_[sig[k]].name();
      ++k;
      if (k < sig.size() && t_[sig[k]].isSymbol("(")) {
        skipParens(k);  // the size: SQLite does not enforce it
        ++k;
      }
    }
    for (std::size_t r = k; r < sig.size(); ++r)
      if (t_[sig[r]].isWord("IDENTITY")) e.identity = true;
    e.parts.push_back(quoteName(e.column));
    if (!type.empty() || e.identity) e.parts.push_back(sqliteType(type, e.identity));
    // SQLite numbers rows itself only for an INTEGER PRIMARY KEY column.
    if (e.identity) e.parts.push_back("PRIMARY KEY AUTOINCREMENT");
    bool collated = false;
    for (; k < sig.size(); ++k) {
      const SqlToken& tok = t_[sig[k]];
      const SqlToken* next = k + 1 < sig.size() ? &t_[sig[k + 1]] : nullptr;
      if (isStorageWord(tok)) continue;
      if (tok.isWord("IDENTITY")) {
        if (next && next->isSymbol("(")) {
          ++k;
          skipParens(k);
        }
        continue;
      }
      if (e.identity && tok.isWord("PRIMARY") && next && next->isWord("KEY")) {
        ++k;
        continue;
      }
      if (tok.isWord("COLLATE") && next) {
        e.parts.push_back("COLLATE " + sqliteCollation(next->name()));
        collated = true;
        ++k;
        continue;
      }
      e.parts.push_back(render(tok));
    }
    // The server's character types without a collation of their own take
    // its default, which ignores case. (TEXT is SQLite's too: as written.)
    if (!collated && isServerCharacterType(type))
      e.parts.insert(e.parts.begin() + 2, std::string("COLLATE ") + kCodeCollation);
    return e;
  }
};

// Whether the literals of a statement may become parameters: one statement
// that reads or changes rows, without parameters of its own.
bool literalsCanBeParameters(const std::vector<SqlToken>& tokens) {
  const SqlToken* first = nullptr;
  bool ended = false;
  for (const auto& tok : tokens) {
    if (!tok.significant()) continue;
    if (ended) return false;  // a second statement
    if (tok.isSymbol(";")) {
      ended = true;
      continue;
    }
    if (tok.kind == Kind::Parameter) return false;
    if (!first) first = &tok;
  }
  return first &&
         (first->isWord("SELECT") || first->isWord("INSERT") || first->isWord("UPDATE") || first->isWord("DELETE"));
}

}  // namespace

std::string SqlShim::translate(std::string_view tsql) const {
  Rewriter rewriter(tokenizeSql(tsql));
  rewriter.translate();
  return rewriter.text();
}

SqlShim::Parameterized SqlShim::parameterize(std::string_view tsql) const {
  auto tokens = tokenizeSql(tsql);
  if (!literalsCanBeParameters(tokens)) {
    Rewriter rewriter(std::move(tokens));
    rewriter.translate();
    return {rewriter.text(), {}};
  }
  Rewriter rewriter(std::move(tokens));
  rewriter.translate();
  return rewriter.takeLiterals();
}

}  // namespace quill::sql
