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

std::optional<std::string_view> readFileInto(const fs::path& file, std::vector<char>& buffer) {
  constexpr std::size_t kFirstChunk = 64 * 1024;
  if (buffer.size() < kFirstChunk) buffer.resize(kFirstChunk);
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return std::nullopt;
  std::size_t used = 0;
  bool checked = false;
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer.data() + used, buffer.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;  // a folder, a pipe without data...
    used += static_cast<std::size_t>(n);
    // A regular file answers a read in full up to its end, so a short read
    // is the end; only a full buffer needs another read. (A pipe gives what
    // it has at that moment.)
    if (used < buffer.size()) {
      // Nothing at all may also be a pipe without a writer: only an empty
      // regular file is an empty file.
      struct stat info {};
      if (used == 0 && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))) return std::nullopt;
      break;
    }
    if (!checked) {
      // Larger than the first chunk: make sure this is a file that ends.
      struct stat info {};
      if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
      checked = true;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::string_view(buffer.data(), used);
}

std::optional<std::string> readFileBytes(const fs::path& file) {
  std::vector<char> buffer;
  auto bytes = readFileInto(file, buffer);
  if (!bytes) return std::nullopt;
  return std::string(*bytes);
}

std::error_code tryReplaceFileContents(const fs::path& file, std::string_view bytes) {
  auto lastError = [] { return std::error_code(errno ? errno : EIO, std::generic_category()); };
  std::error_code error;
  fs::path target = file;
  if (fs::is_symlink(target, error)) {
    fs::path link = fs::read_symlink(target, error);
    if (error) return error;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  struct stat info {};
  bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode))
    return std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory : std::errc::invalid_argument);
  if (exists && ::access(target.c_str(), W_OK) != 0) return lastError();
  mode_t mode = exists ? (info.st_mode & 07777) : 0644;

  fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  FileDescriptor fd(::mkstemp(pattern.data()));
  if (fd.get() < 0) return lastError();
  auto discard = [&] {
    std::error_code why = lastError();
    ::unlink(pattern.c_str());
    return why;
  };
  if (::fchmod(fd.get(), mode) != 0) return discard();
  if (exists && ::geteuid() == 0) {
    // Keep the owner when an administrator edits a user's file.
    if (::fchown(fd.get(), info.st_uid, info.st_gid) != 0) return discard();
  }
  if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) return discard();
  if (::close(fd.release()) != 0) return discard();
  if (::rename(pattern.c_str(), target.c_str()) != 0) return discard();
  return {};
}

bool replaceFileContents(const fs::path& file, std::string_view bytes) { return !tryReplaceFileContents(file, bytes); }

}  // namespace quill::winapi
