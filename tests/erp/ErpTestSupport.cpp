#include "tests/erp/ErpTestSupport.h"

#include <fmt/format.h>
#include <unistd.h>

#include <atomic>
#include <memory>

#include "erp/DemoCompany.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"

namespace quill::erp::test {

namespace fs = std::filesystem;

namespace {
std::atomic<int> folderCounter{0};
}

TempFolder::TempFolder(std::string_view purpose) {
  path_ = fs::temp_directory_path() /
          fmt::format("quill-{}-{}-{}", purpose, static_cast<long>(::getpid()), folderCounter.fetch_add(1));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

namespace {
struct SharedDemo {
  TempFolder folder{"erp-demo"};
  CompanyEntry company = DemoCompany::create(folder.path(), DemoOptions{});
};
SharedDemo& shared() {
  static SharedDemo demo;
  return demo;
}
}  // namespace

const CompanyEntry& demoCompany() { return shared().company; }
const fs::path& demoInstallationFolder() { return shared().folder.path(); }

std::string sqlText(std::string_view text) {
  std::string result = "'";
  for (char c : text) {
    if (c == '\'') result += '\'';
    result += c;
  }
  return result + "'";
}

std::string databaseDigest(const fs::path& file) {
  sql::Database db(file, sql::Database::Mode::ReadOnly);
  std::vector<std::string> tables;
  {
    auto list =
        db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name");
    while (list.step()) tables.push_back(list.text(0));
  }
  // FNV-1a over the text of every value, table by table, row by row.
  std::uint64_t hash = 1469598103934665603ULL;
  auto add = [&](std::string_view text) {
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ULL;
    hash = (hash ^ 0xFF) * 1099511628211ULL;
  };
  std::int64_t rows = 0;
  for (const auto& table : tables) {
    add(table);
    auto all = db.prepare(fmt::format("SELECT * FROM \"{}\" ORDER BY rowid", table));
    while (all.step()) {
      ++rows;
      for (int c = 0; c < all.columnCount(); ++c) add(all.isNull(c) ? std::string("<null>") : all.text(c));
    }
  }
  return fmt::format("{} tables, {} rows, {:016x}", tables.size(), rows, hash);
}

std::int64_t scalar(const fs::path& file, const std::string& sql) {
  sql::Database db(file, sql::Database::Mode::ReadOnly);
  return db.scalarInt(sql);
}

}  // namespace quill::erp::test
