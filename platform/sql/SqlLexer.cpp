#include "platform/sql/SqlLexer.h"

#include "platform/automation/Dispatch.h"
#include "platform/sql/SqlError.h"

namespace quill::sql {

namespace {
bool isNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c >= 0x80;
}
bool isNameChar(unsigned char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '$' || c == '@'; }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The end of a literal or quoted name opened at `start` by `open` and closed
// by `close`, a doubled closing character standing for itself.
std::size_t closeOf(std::string_view sql, std::size_t start, char close, const char* what) {
  for (std::size_t i = start + 1; i < sql.size(); ++i) {
    if (sql[i] != close) continue;
    if (i + 1 < sql.size() && sql[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1;
  }
  throw sqlError(sqlerr::ErrorsInCommand, std::string("Error in the command: unclosed ") + what + " starting at " +
                                              std::string(sql.substr(start, 30)));
}
}  // namespace

bool SqlToken::isWord(std::string_view word) const { return kind == Kind::Word && equalsNoCase(text, word); }

std::string SqlToken::name() const {
  if (kind != Kind::QuotedName) return text;
  const char close = text.front() == '[' ? ']' : '"';
  std::string out;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    out += text[i];
    if (text[i] == close) ++i;
  }
  return out;
}

std::string SqlToken::stringValue() const {
  std::string out;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\'') ++i;
  }
  return out;
}

std::vector<SqlToken> tokenizeSql(std::string_view sql) {
  using Kind = SqlToken::Kind;
  std::vector<SqlToken> tokens;
  std::size_t i = 0;
  auto push = [&](Kind kind, std::size_t end) {
    tokens.push_back(SqlToken{kind, std::string(sql.substr(i, end - i))});
    i = end;
  };
  while (i < sql.size()) {
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      std::size_t j = i;
      while (j < sql.size() &&
             (sql[j] == ' ' || sql[j] == '\t' || sql[j] == '\r' || sql[j] == '\n' || sql[j] == '\f' || sql[j] == '\v'))
        ++j;
      push(Kind::Space, j);
    } else if (c == '-' && next == '-') {
      std::size_t j = sql.find('\n', i);
      push(Kind::Comment, j == std::string_view::npos ? sql.size() : j);
    } else if (c == '/' && next == '*') {
      std::size_t j = sql.find("*/", i + 2);
      if (j == std::string_view::npos)
        throw sqlError(sqlerr::ErrorsInCommand, "Error in the command: unclosed comment");
      push(Kind::Comment, j + 2);
    } else if (c == '\'') {
      push(Kind::String, closeOf(sql, i, '\'', "quotation mark"));
    } else if ((c == 'N' || c == 'n') && next == '\'') {
      // N'text': the national-character prefix means nothing to us.
      ++i;
      push(Kind::String, closeOf(sql, i, '\'', "quotation mark"));
    } else if (c == '[') {
      push(Kind::QuotedName, closeOf(sql, i, ']', "bracket"));
    } else if (c == '"') {
      push(Kind::QuotedName, closeOf(sql, i, '"', "double quotation mark"));
    } else if (isDigit(c) || (c == '.' && isDigit(static_cast<unsigned char>(next)))) {
      std::size_t j = i;
      while (j < sql.size() && (isDigit(static_cast<unsigned char>(sql[j])) || sql[j] == '.')) ++j;
      if (j < sql.size() && (sql[j] == 'e' || sql[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < sql.size() && (sql[k] == '+' || sql[k] == '-')) ++k;
        if (k < sql.size() && isDigit(static_cast<unsigned char>(sql[k]))) {
          j = k;
          while (j < sql.size() && isDigit(static_cast<unsigned char>(sql[j]))) ++j;
        }
      }
      push(Kind::Number, j);
    } else if (c == '?' || ((c == '@' || c == ':') && isNameStart(static_cast<unsigned char>(next)))) {
      std::size_t j = i + 1;
      while (j < sql.size() && isNameChar(static_cast<unsigned char>(sql[j]))) ++j;
      push(Kind::Parameter, j);
    } else if (isNameStart(c)) {
      std::size_t j = i;
      while (j < sql.size() && isNameChar(static_cast<unsigned char>(sql[j]))) ++j;
      push(Kind::Word, j);
    } else {
      static constexpr std::string_view twoChar[] = {"<=", ">=", "<>", "!=", "||", "==", "!<", "!>"};
      std::size_t len = 1;
      for (auto op : twoChar)
        if (sql.substr(i, 2) == op) len = 2;
      push(Kind::Symbol, i + len);
    }
  }
  return tokens;
}

}  // namespace quill::sql
