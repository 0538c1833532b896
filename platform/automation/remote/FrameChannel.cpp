#include "platform/automation/remote/FrameChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quill {

namespace {
using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadChunk = 64 * 1024;

// Milliseconds left before the deadline, for poll(); -1 waits forever.
int remainingMs(bool forever, Clock::time_point deadline) {
  if (forever) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// poll() for one event; false on timeout or error.
bool waitFor(int socket, short events, bool forever, Clock::time_point deadline) {
  for (;;) {
    pollfd p{socket, events, 0};
    int n = ::poll(&p, 1, remainingMs(forever, deadline));
    if (n > 0) return true;  // readiness, hang-up or error: the next syscall tells which
    if (n == 0) return false;
    if (errno != EINTR) return false;
  }
}
}  // namespace

FrameChannel::FrameChannel(int socket, std::size_t maxFrameBytes) : socket_(socket), maxFrameBytes_(maxFrameBytes) {
  if (socket_ >= 0) {
    int flags = ::fcntl(socket_, F_GETFL);
    if (flags >= 0) ::fcntl(socket_, F_SETFL, flags | O_NONBLOCK);
  }
  input_.resize(kReadChunk);
}

FrameChannel::~FrameChannel() { close(); }

void FrameChannel::close() {
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
}

bool FrameChannel::headerReady(std::uint32_t& length) const {
  if (end_ - begin_ < kHeaderBytes) return false;
  const std::uint8_t* h = input_.data() + begin_;
  length = static_cast<std::uint32_t>(h[0]) | static_cast<std::uint32_t>(h[1]) << 8 |
           static_cast<std::uint32_t>(h[2]) << 16 | static_cast<std::uint32_t>(h[3]) << 24;
  return true;
}

FrameChannel::Status FrameChannel::receive(std::chrono::milliseconds timeout, std::span<const std::uint8_t>& frame) {
  if (socket_ < 0) return Status::Closed;
  const bool forever = timeout.count() < 0;
  const auto deadline = forever ? Clock::time_point::max() : Clock::now() + timeout;
  for (;;) {
    std::uint32_t length = 0;
    if (headerReady(length)) {
      if (length > maxFrameBytes_) return Status::Oversized;
      if (end_ - begin_ >= kHeaderBytes + length) {
        frame = {input_.data() + begin_ + kHeaderBytes, length};
        begin_ += kHeaderBytes + length;
        return Status::Frame;
      }
    }
    // Make room: move the unread part to the front, then grow only as far as
    // the announced frame needs.
    if (begin_ > 0) {
      std::memmove(input_.data(), input_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    // A big frame's buffer is given back once it has been consumed.
    if (input_.size() > 16 * kReadChunk && end_ < kReadChunk && !headerReady(length)) {
      input_.resize(kReadChunk);
      input_.shrink_to_fit();
    }
    std::size_t wanted = end_ + kReadChunk;
    if (headerReady(length)) wanted = std::max(wanted, kHeaderBytes + static_cast<std::size_t>(length));
    if (input_.size() < wanted) input_.resize(wanted);

    // Waiting first saves a read that would find nothing: an answer is
    // seldom there already when we start to wait for it.
    if (!waitFor(socket_, POLLIN, forever, deadline)) return Status::TimedOut;
    ssize_t n = ::recv(socket_, input_.data() + end_, input_.size() - end_, MSG_DONTWAIT);
    if (n > 0) {
      end_ += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0) return Status::Closed;
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
    if (errno == ECONNRESET) return Status::Closed;
    return Status::Failed;
  }
}

bool FrameChannel::send(std::vector<std::uint8_t>& buffer, std::chrono::milliseconds timeout) {
  if (socket_ < 0 || buffer.size() < kHeaderBytes) return false;
  const auto length = static_cast<std::uint32_t>(buffer.size() - kHeaderBytes);
  buffer[0] = static_cast<std::uint8_t>(length);
  buffer[1] = static_cast<std::uint8_t>(length >> 8);
  buffer[2] = static_cast<std::uint8_t>(length >> 16);
  buffer[3] = static_cast<std::uint8_t>(length >> 24);

  const bool forever = timeout.count() < 0;
  const auto deadline = forever ? Clock::time_point::max() : Clock::now() + timeout;
  std::size_t sent = 0;
  while (sent < buffer.size()) {
    ssize_t n = ::send(socket_, buffer.data() + sent, buffer.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (!waitFor(socket_, POLLOUT, forever, deadline)) return false;
  }
  return true;
}

}  // namespace quill
