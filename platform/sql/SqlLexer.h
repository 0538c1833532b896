#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::sql {

// One token of a statement. String literals keep their quotes, so a token's
// text put back verbatim rebuilds the statement.
struct SqlToken {
  enum class Kind {
    Space,       // blanks and line breaks
    Comment,     // -- to the end of the line, or /* ... */
    Word,        // keyword or plain name
    QuotedName,  // [name] or "name"
    String,      // 'text' with '' for a quote inside
    Number,
    Parameter,  // ?, @name or :name
    Symbol,     // operators and punctuation; <=, >=, <>, !=, || are one token
  };
  Kind kind;
  std::string text;

  bool isWord(std::string_view word) const;  // a Word equal to `word` without regard to case
  bool isSymbol(std::string_view symbol) const { return kind == Kind::Symbol && text == symbol; }
  bool significant() const { return kind != Kind::Space && kind != Kind::Comment; }
  // The name a Word or QuotedName stands for, without brackets or quotes.
  std::string name() const;
  // The text of a String literal, quotes removed and doubled quotes undone.
  std::string stringValue() const;
};

// Splits T-SQL text into tokens. An unclosed quote or bracket fails with the
// ErrorsInCommand number, naming what was left open.
std::vector<SqlToken> tokenizeSql(std::string_view sql);

}  // namespace quill::sql
