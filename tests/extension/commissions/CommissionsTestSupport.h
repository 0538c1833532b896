#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "erp/CompanyEntry.h"

namespace quill::sql {
class Connection;
}

namespace quill::testing {

// Every row of a query on a company, each value as text ("" for Null).
std::vector<std::vector<std::string>> rowsOf(const erp::CompanyEntry& company, const std::string& sql);

// Runs statements on a company outside the extension (a test's setup).
void runOn(const erp::CompanyEntry& company, const std::string& sql);

// Another user holding the company's write lock until it goes.
class HeldWriteLock {
 public:
  explicit HeldWriteLock(const erp::CompanyEntry& company);
  ~HeldWriteLock();
  HeldWriteLock(const HeldWriteLock&) = delete;
  HeldWriteLock& operator=(const HeldWriteLock&) = delete;

 private:
  std::shared_ptr<sql::Connection> db_;
};

// Reports print to PDF files in a folder of the test's own while it lives.
class PdfFolder {
 public:
  PdfFolder();
  ~PdfFolder();
  const std::filesystem::path& path() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

}  // namespace quill::testing
