#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sql/Field.h"
#include "platform/sql/Statement.h"

namespace quill::sql {

// A prepared statement kept for reuse, with the fields of its result as far
// as they follow from the statement alone (names, declared types, base
// tables and keys).
template <class S>
struct BasicCachedStatement {
  S statement;
  bool described = false;
  std::vector<Field> fields;
};

// What a statement text the system sent before turned into: its prepared
// form (shared by every text that differs only in its literals) and the
// literal values to bind to it.
template <class S>
struct BasicCachedText {
  std::shared_ptr<BasicCachedStatement<S>> statement;
  std::vector<std::string> literals;
};

// Prepared statements by translated form, and statement texts as the caller
// wrote them (before translation), so that a statement the system repeats
// is translated and prepared once, and one that differs only in the code it
// names is prepared once. The least recently used entries go beyond the
// capacities. `S` is the backend's prepared statement.
template <class S>
class BasicStatementCache {
 public:
  using CachedStatement = BasicCachedStatement<S>;
  using CachedText = BasicCachedText<S>;

  explicit BasicStatementCache(std::size_t texts = 1024, std::size_t statements = 256)
      : texts_(texts), statements_(statements) {}

  const CachedText* findText(std::string_view text) { return texts_.find(text); }
  const CachedText* addText(std::string text, CachedText entry) {
    return texts_.add(std::move(text), std::move(entry));
  }
  std::shared_ptr<CachedStatement> findStatement(std::string_view sql) {
    auto* found = statements_.find(sql);
    return found ? *found : nullptr;
  }
  void addStatement(std::string sql, std::shared_ptr<CachedStatement> statement) {
    statements_.add(std::move(sql), std::move(statement));
  }
  void clear() {
    texts_.clear();
    statements_.clear();
  }

 private:
  template <class V>
  class Lru {
   public:
    explicit Lru(std::size_t capacity) : capacity_(capacity) {}
    V* find(std::string_view key) {
      auto it = index_.find(key);
      if (it == index_.end()) return nullptr;
      order_.splice(order_.begin(), order_, it->second);
      return &it->second->second;
    }
    V* add(std::string key, V value) {
      if (auto it = index_.find(key); it != index_.end()) {
        auto node = it->second;
        index_.erase(it);
        order_.erase(node);
      }
      order_.emplace_front(std::move(key), std::move(value));
      index_[order_.front().first] = order_.begin();
      while (order_.size() > capacity_) {
        index_.erase(order_.back().first);
        order_.pop_back();
      }
      return &order_.front().second;
    }
    void clear() {
      index_.clear();
      order_.clear();
    }

   private:
    using Entry = std::pair<std::string, V>;
    std::size_t capacity_;
    std::list<Entry> order_;  // most recently used first
    std::unordered_map<std::string_view, typename std::list<Entry>::iterator> index_;
  };

  Lru<CachedText> texts_;
  Lru<std::shared_ptr<CachedStatement>> statements_;
};

using CachedStatement = BasicCachedStatement<Statement>;
using CachedText = BasicCachedText<Statement>;
using StatementCache = BasicStatementCache<Statement>;

}  // namespace quill::sql
