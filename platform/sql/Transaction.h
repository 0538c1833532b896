#pragma once

namespace quill::sql {

class Connection;
class Database;

// The one way all-or-nothing writes are made: the guard begins a transaction
// (taking the database's write lock, waiting up to the busy timeout) and
// rolls it back when it goes out of scope uncommitted, for instance when an
// error leaves the block. Guards nest; an inner one is a savepoint. It works
// on a Connection and on the raw Database under it alike.
//
//   Transaction transaction(connection);
//   ... writes ...
//   transaction.commit();
class Transaction {
 public:
  explicit Transaction(Database& database);
  explicit Transaction(Connection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void commit();

 private:
  Database* database_ = nullptr;
  Connection* connection_ = nullptr;
  bool done_ = false;
};

}  // namespace quill::sql
