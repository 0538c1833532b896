#include "platform/vb/DebugLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/vb/Strings.h"

namespace quill::vb {

void appendDebugLine(const std::filesystem::path& file, std::string_view tag, std::size_t width,
                     std::string_view detail) noexcept {
  try {
    std::string line = padRight(tag, width);
    line += ' ';
    line.append(detail);
    line += "\r\n";
    // One write on a file opened for appending puts the whole line at the
    // end even when another process logs to the same file.
    int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
      ssize_t n = ::write(fd, data, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      data += n;
      left -= static_cast<std::size_t>(n);
    }
    ::close(fd);
  } catch (...) {
    // A log line is never worth failing the caller.
  }
}

}  // namespace quill::vb
