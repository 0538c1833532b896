#include "platform/sql/StatementCache.h"

#include <sqlite3.h>

namespace quill::sql {

CachedStatement::~CachedStatement() { sqlite3_finalize(statement); }

CachedStatement* StatementCache::find(std::string_view text) {
  auto it = index_.find(text);
  if (it == index_.end()) return nullptr;
  order_.splice(order_.begin(), order_, it->second);
  return it->second->second.get();
}

CachedStatement* StatementCache::add(std::string text, sqlite3_stmt* statement) {
  auto entry = std::make_unique<CachedStatement>();
  entry->statement = statement;
  order_.emplace_front(std::move(text), std::move(entry));
  index_[order_.front().first] = order_.begin();
  while (order_.size() > capacity_) {
    index_.erase(order_.back().first);
    order_.pop_back();
  }
  return order_.front().second.get();
}

void StatementCache::clear() {
  index_.clear();
  order_.clear();
}

}  // namespace quill::sql
