#include "platform/winapi/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace quill::winapi {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<std::string> readFileBytes(const fs::path& file) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string bytes;
  // Read one byte more than the size so that a file that grew meanwhile is
  // noticed and read to its end.
  std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
  bytes.resize(capacity);
  std::size_t used = 0;
  for (;;) {
    ssize_t n = ::read(fd.get(), bytes.data() + used, capacity - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (used == capacity) {
      capacity *= 2;
      bytes.resize(capacity);
    }
  }
  bytes.resize(used);
  return bytes;
}

bool replaceFileContents(const fs::path& file, std::string_view bytes) {
  std::error_code error;
  fs::path target = file;
  if (fs::is_symlink(target, error)) {
    fs::path link = fs::read_symlink(target, error);
    if (error) return false;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  struct stat info {};
  bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists && (!S_ISREG(info.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;
  mode_t mode = exists ? (info.st_mode & 07777) : 0644;

  fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  FileDescriptor fd(::mkstemp(pattern.data()));
  if (fd.get() < 0) return false;
  auto discard = [&] { ::unlink(pattern.c_str()); return false; };
  if (::fchmod(fd.get(), mode) != 0) return discard();
  if (exists && ::geteuid() == 0) {
    // Keep the owner when an administrator edits a user's file.
    if (::fchown(fd.get(), info.st_uid, info.st_gid) != 0) return discard();
  }
  if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) return discard();
  if (::close(fd.release()) != 0) return discard();
  if (::rename(pattern.c_str(), target.c_str()) != 0) return discard();
  return true;
}

}  // namespace quill::winapi
