#include "erp/api/ApiLog.h"

#include <fstream>
#include <string>

#include "platform/vb/OleDate.h"

namespace quill::erpapi {

ApiLog::ApiLog(const std::filesystem::path& logPath) {
  if (logPath.empty()) return;
  std::error_code ec;
  file_ = std::filesystem::is_directory(logPath, ec) ? logPath / kFileName : logPath;
}

void ApiLog::write(std::string_view text) const noexcept {
  if (file_.empty()) return;
  try {
    std::ofstream out(file_, std::ios::app | std::ios::binary);
    if (!out) return;
    std::string line = vb::toIsoText(vb::now());
    line += ' ';
    line += text;
    line += '\n';
    out << line;
  } catch (...) {
    // the log never fails an operation
  }
}

}  // namespace quill::erpapi
