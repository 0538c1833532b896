#pragma once

#include <filesystem>

namespace quill::erp {

// Holds an exclusive lock on a lock file for as long as it lives, so that
// two processes preparing the same installation (two test or benchmark
// programs started together) take turns instead of both generating.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& lockFile);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace quill::erp
