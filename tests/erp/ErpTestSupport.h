#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "erp/CompanyEntry.h"

namespace quill::erp::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder {
 public:
  explicit TempFolder(std::string_view purpose);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The demo company of this test program, generated once in a folder of its
// own and shared by its tests; tests that change data work on a copy.
const CompanyEntry& demoCompany();
const std::filesystem::path& demoInstallationFolder();

// Text between single quotes for SQL, quotes inside doubled.
std::string sqlText(std::string_view text);

// A digest of every row of every table, for comparing two databases.
std::string databaseDigest(const std::filesystem::path& file);

// The first column of the first row of a query, as an integer.
std::int64_t scalar(const std::filesystem::path& file, const std::string& sql);

}  // namespace quill::erp::test
