#include "tests/platform/automation/remote/LinkPeers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "tests/platform/automation/remote/TestObjects.h"

namespace quill::remotetest {

ForkedPeer::ForkedPeer(RemoteLink::Options options, bool withRawDescriptor) {
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) throw std::runtime_error("socketpair");
  if (withRawDescriptor) raw_ = ::fcntl(sv[0], F_DUPFD_CLOEXEC, 0);
  pid = ::fork();
  if (pid == 0) {
    ::close(sv[0]);
    if (raw_ >= 0) ::close(raw_);
    registerTestTypes();
    auto factory = testFactory("forked");
    auto peer = RemoteLink::open(sv[1], options);
    auto end = peer->serve(factory);
    ::_exit(end == RemoteLink::ServeEnd::LastObjectReleased ? 0 : end == RemoteLink::ServeEnd::PeerClosed ? 3 : 4);
  }
  ::close(sv[1]);
  link = RemoteLink::open(sv[0], options);
}

ForkedPeer::~ForkedPeer() {
  link.reset();
  if (raw_ >= 0) ::close(raw_);
  exitCode(std::chrono::seconds(3));
}

int ForkedPeer::exitCode(std::chrono::milliseconds wait) {
  if (exit_) return *exit_;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  int status = 0;
  for (;;) {
    if (::waitpid(pid, &status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  return *exit_;
}

RawPeer::RawPeer(RemoteLink::Options options) {
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) throw std::runtime_error("socketpair");
  fd = sv[1];
  link = RemoteLink::open(sv[0], options);
}

RawPeer::~RawPeer() {
  link.reset();
  ::close(fd);
}

std::string frame(const std::string& payload) {
  auto n = static_cast<std::uint32_t>(payload.size());
  std::string out{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                  static_cast<char>(n >> 24)};
  return out + payload;
}

std::string framedMsgpack(const nlohmann::json& message) {
  auto bytes = nlohmann::json::to_msgpack(message);
  return frame(std::string(bytes.begin(), bytes.end()));
}

void RawPeer::sendBytes(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) throw std::runtime_error("raw send failed");
    done += static_cast<std::size_t>(n);
  }
}

void RawPeer::send(const nlohmann::json& message) { sendBytes(framedMsgpack(message)); }

std::optional<nlohmann::json> RawPeer::receive(std::chrono::milliseconds wait) {
  auto readAll = [&](std::uint8_t* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
      ssize_t n = ::recv(fd, into + done, size - done, 0);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  };
  std::uint8_t header[4];
  if (!readAll(header, 4)) return std::nullopt;
  std::uint32_t size = header[0] | header[1] << 8 | header[2] << 16 | static_cast<std::uint32_t>(header[3]) << 24;
  std::vector<std::uint8_t> payload(size);
  if (!readAll(payload.data(), size)) return std::nullopt;
  return nlohmann::json::from_msgpack(payload);
}

AutomationError errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e;
  }
  ADD_FAILURE() << "expected an AutomationError";
  return AutomationError(0, "", "");
}

long long millisecondsOf(const std::function<void()>& call) {
  auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace quill::remotetest
