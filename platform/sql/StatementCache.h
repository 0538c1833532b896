#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sql/Field.h"

struct sqlite3_stmt;

namespace quill::sql {

// A prepared statement kept for reuse, with the fields of its result as far
// as they follow from the statement alone (names, declared types, base
// tables and keys).
struct CachedStatement {
  sqlite3_stmt* statement = nullptr;
  bool described = false;
  std::vector<Field> fields;
  ~CachedStatement();
};

// Prepared statements by the caller's statement text (before translation),
// so that a statement repeated by the system is translated and prepared
// once. The least recently used ones go beyond `capacity`.
class StatementCache {
 public:
  explicit StatementCache(std::size_t capacity = 256) : capacity_(capacity) {}

  // The entry for a text, made most recently used; null when not cached.
  CachedStatement* find(std::string_view text);
  CachedStatement* add(std::string text, sqlite3_stmt* statement);
  void clear();

 private:
  using Entry = std::pair<std::string, std::unique_ptr<CachedStatement>>;
  std::size_t capacity_;
  std::list<Entry> order_;  // most recently used first
  std::unordered_map<std::string_view, std::list<Entry>::iterator> index_;
};

}  // namespace quill::sql
