#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace quill {

// A local server program started for this process's objects.
//
// It runs in this process's current folder (the bridge writes its debug log
// there) with this process's environment, gets its end of the link as
// descriptor kLinkDescriptor, and is told so by its arguments
// ("-Embedding --automation-fd=3"). Should this process die, the program
// gets SIGTERM (a backstop: it also ends when its link closes).
class ServerProcess {
 public:
  static constexpr int kLinkDescriptor = 3;

  // Fails with 429 when the program is missing or cannot be started.
  static std::unique_ptr<ServerProcess> start(const std::filesystem::path& program, int linkSocket);

  // Stops the program as stop(1 s) does.
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  pid_t pid() const { return pid_; }

  // Waits up to `grace` for the program to end by itself, kills it when it
  // has not, and reaps it either way, so that nothing stays behind.
  void stop(std::chrono::milliseconds grace) noexcept;

 private:
  explicit ServerProcess(pid_t pid) : pid_(pid) {}
  pid_t pid_;
  bool reaped_ = false;
};

}  // namespace quill
