#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"

namespace quill::sql::testing {

// A folder of its own for one test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quill-sql-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A new database file holding the given statements' tables and rows.
inline std::shared_ptr<Connection> createDatabase(const std::filesystem::path& file, const std::string& script) {
  auto connection = Connection::open(file, Connection::OpenMode::Create);
  if (!script.empty()) connection->execute(script);
  return connection;
}

// The error number a call fails with; 0 when it does not fail.
template <class F>
std::int32_t errorNumberOf(F&& f, std::string* description = nullptr) {
  try {
    f();
  } catch (const AutomationError& e) {
    if (description) *description = e.description();
    return e.number();
  }
  return 0;
}

}  // namespace quill::sql::testing
