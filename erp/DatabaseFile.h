#pragma once

#include <filesystem>

namespace quill::erp {

// A database file built aside and put in place at once: the work happens in a
// temporary file beside the final one, and commit() renames it over the final
// name. Until then the final file (if any) is untouched, and a build that
// fails or is interrupted leaves no half-written database behind.
class DatabaseFile {
 public:
  explicit DatabaseFile(std::filesystem::path finalPath);
  ~DatabaseFile();
  DatabaseFile(const DatabaseFile&) = delete;
  DatabaseFile& operator=(const DatabaseFile&) = delete;

  const std::filesystem::path& workingPath() const { return working_; }
  const std::filesystem::path& finalPath() const { return final_; }

  // Every connection to the working file must be closed first.
  void commit();

  // Removes a database file together with its journal files.
  static void removeWithJournals(const std::filesystem::path& file);

 private:
  std::filesystem::path final_;
  std::filesystem::path working_;
  bool committed_ = false;
};

}  // namespace quill::erp
