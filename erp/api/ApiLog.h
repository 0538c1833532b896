#pragma once

#include <filesystem>
#include <string_view>

namespace quill::erpapi {

// The ERP API's own log: what it was asked to validate and save, one dated
// line each. The log path handed to the start operation names either a
// folder (the log is kFileName in it) or the file itself; an empty path
// keeps no log. Writing never fails the caller: a line that cannot be
// written is lost.
class ApiLog {
 public:
  static constexpr const char* kFileName = "ERPAPI.LOG";

  ApiLog() = default;
  explicit ApiLog(const std::filesystem::path& logPath);

  void write(std::string_view text) const noexcept;
  // Empty when no log is kept.
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace quill::erpapi
