#include "platform/automation/remote/ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/automation/AutomationError.h"

namespace quill {

std::unique_ptr<ServerProcess> ServerProcess::start(const std::filesystem::path& program, int linkSocket) {
  const std::string path = program.string();
  if (::access(path.c_str(), X_OK) != 0) throw vbError(vberr::CannotCreateObject);

  // Everything the child needs is prepared before fork: between fork and
  // exec only async-signal-safe calls are made (the host may have threads).
  std::string embedding = "-Embedding";
  std::string fdArgument = "--automation-fd=" + std::to_string(kLinkDescriptor);
  char* argv[] = {const_cast<char*>(path.c_str()), embedding.data(), fdArgument.data(), nullptr};
  const pid_t parent = ::getpid();

  pid_t pid = ::fork();
  if (pid < 0) throw vbError(vberr::CannotCreateObject);
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);  // the client is already gone
    if (linkSocket == kLinkDescriptor) {
      int flags = ::fcntl(linkSocket, F_GETFD);
      ::fcntl(linkSocket, F_SETFD, flags & ~FD_CLOEXEC);
    } else if (::dup2(linkSocket, kLinkDescriptor) < 0) {
      ::_exit(127);
    }
    // The host's signal mask and ignored SIGPIPE are not the server's.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::execv(argv[0], argv);
    ::_exit(127);
  }
  return std::unique_ptr<ServerProcess>(new ServerProcess(pid));
}

ServerProcess::~ServerProcess() { stop(std::chrono::milliseconds(1000)); }

void ServerProcess::stop(std::chrono::milliseconds grace) noexcept {
  if (reaped_) return;
  auto reaped = [this](int options) {
    int status = 0;
    pid_t r;
    do r = ::waitpid(pid_, &status, options);
    while (r < 0 && errno == EINTR);
    // ECHILD: already reaped elsewhere (a host that ignores SIGCHLD).
    return r == pid_ || (r < 0 && errno == ECHILD);
  };
  const auto deadline = std::chrono::steady_clock::now() + grace;
  auto pause = std::chrono::microseconds(100);
  for (;;) {
    if (reaped(WNOHANG)) {
      reaped_ = true;
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
  ::kill(pid_, SIGKILL);
  reaped(0);
  reaped_ = true;
}

}  // namespace quill
