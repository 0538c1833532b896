#include "erp/DatabaseFile.h"

#include <fmt/format.h>
#include <unistd.h>

#include <atomic>
#include <system_error>

#include "erp/ErpError.h"
#include "platform/automation/AutomationError.h"

namespace quill::erp {

namespace fs = std::filesystem;

namespace {
std::atomic<unsigned> buildCounter{0};

fs::path withSuffix(const fs::path& file, const char* suffix) { return fs::path(file.string() + suffix); }
}  // namespace

DatabaseFile::DatabaseFile(fs::path finalPath) : final_(std::move(finalPath)) {
  std::error_code ec;
  fs::create_directories(final_.parent_path(), ec);
  if (ec)
    throw AutomationError(
        kErpDatabaseError, "ERP",
        fmt::format("Não foi possível criar a pasta \"{}\": {}", final_.parent_path().string(), ec.message()));
  // The process id and a counter keep two builders of the same company (two
  // processes, or two threads) out of each other's way.
  working_ = fs::path(
      fmt::format("{}.building-{}-{}", final_.string(), static_cast<long>(::getpid()), buildCounter.fetch_add(1)));
  removeWithJournals(working_);
}

DatabaseFile::~DatabaseFile() {
  if (!committed_) removeWithJournals(working_);
}

void DatabaseFile::removeWithJournals(const fs::path& file) {
  std::error_code ec;
  fs::remove(file, ec);
  for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(withSuffix(file, suffix), ec);
}

void DatabaseFile::commit() {
  std::error_code ec;
  // A journal left by the database being replaced belongs to that database,
  // never to the new one.
  for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(withSuffix(final_, suffix), ec);
  fs::rename(working_, final_, ec);
  if (ec)
    throw AutomationError(
        kErpDatabaseError, "ERP",
        fmt::format("Não foi possível colocar a base de dados \"{}\": {}", final_.string(), ec.message()));
  committed_ = true;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(withSuffix(working_, suffix), ec);
}

}  // namespace quill::erp
