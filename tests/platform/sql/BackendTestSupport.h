#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "platform/sql/Connection.h"
#include "platform/sql/ServerAddress.h"
#include "tests/platform/sql/SqlTestSupport.h"
#include "tests/platform/sql/TestServer.h"

namespace quill::sql::testing {

// A new, empty company database on one backend, dropped afterwards: a file
// in a folder of its own, or a database of its own on the test server (tests
// of one program run side by side).
class BackendDatabase {
 public:
  explicit BackendDatabase(Backend backend) : backend_(backend) {
    if (backend == Backend::Embedded) {
      connection_ = Connection::open(folder_.path() / "company.db", Connection::OpenMode::Create);
      return;
    }
    auto server = testServer();
    if (!server) return;
    static std::atomic<int> counter{0};
    name_ = "quill_t" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    admin_ = Connection::open(*server);
    admin_->execute("DROP DATABASE IF EXISTS " + name_);
    admin_->execute("CREATE DATABASE " + name_);
    address_ = *server;
    address_.database = name_;
    connection_ = Connection::open(address_);
  }
  ~BackendDatabase() {
    if (connection_) connection_->close();
    if (admin_) {
      try {
        admin_->execute("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
      } catch (...) {
      }
    }
  }
  BackendDatabase(const BackendDatabase&) = delete;
  BackendDatabase& operator=(const BackendDatabase&) = delete;

  // False on the server backend when no test server runs.
  bool available() const { return connection_ != nullptr; }
  std::shared_ptr<Connection> connection() const { return connection_; }
  // A second connection to the same database, as another user's.
  std::shared_ptr<Connection> another() const {
    return backend_ == Backend::Embedded ? Connection::open(folder_.path() / "company.db") : Connection::open(address_);
  }
  // The server database's address (server backend only).
  const ServerAddress& address() const { return address_; }
  // The administrator's connection to the server (server backend only).
  Connection& admin() const { return *admin_; }

 private:
  Backend backend_;
  TempFolder folder_;
  std::string name_;
  ServerAddress address_;
  std::shared_ptr<Connection> admin_;
  std::shared_ptr<Connection> connection_;
};

// A fixture over both backends; a server test skips when no server runs.
class BackendTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (!company.available()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
    db = company.connection();
  }
  bool onServer() const { return GetParam() == Backend::Server; }

  BackendDatabase company{GetParam()};
  std::shared_ptr<Connection> db;
};

}  // namespace quill::sql::testing
