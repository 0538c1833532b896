#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quill {

// One end of a stream socket carrying length-prefixed frames: a 4-byte
// little-endian length, then that many bytes. A frame announcing more than
// the channel's maximum is refused before anything is allocated for it.
//
// The socket is non-blocking; every wait goes through poll() with a
// deadline, so a peer that stops reading or writing can never hang us.
// Writes use MSG_NOSIGNAL: a vanished peer is a failed send, never SIGPIPE.
class FrameChannel {
 public:
  static constexpr std::size_t kHeaderBytes = 4;

  enum class Status {
    Frame,      // a whole frame arrived
    Closed,     // the peer closed its end (or the socket is already closed)
    TimedOut,   // nothing complete arrived before the deadline
    Oversized,  // the peer announced a frame above the maximum
    Failed,     // a socket error
  };

  // Takes ownership of the socket.
  FrameChannel(int socket, std::size_t maxFrameBytes);
  ~FrameChannel();
  FrameChannel(const FrameChannel&) = delete;
  FrameChannel& operator=(const FrameChannel&) = delete;

  // Waits for the next frame; a negative timeout waits for as long as it
  // takes. On Frame, `frame` holds its payload, valid until the next receive.
  Status receive(std::chrono::milliseconds timeout, std::span<const std::uint8_t>& frame);

  // Sends `buffer` as one frame. Its first kHeaderBytes are reserved for the
  // length, which this fills in. False when the peer is gone or stopped
  // reading for longer than `timeout`.
  bool send(std::vector<std::uint8_t>& buffer, std::chrono::milliseconds timeout);

  void close();
  bool isOpen() const { return socket_ >= 0; }
  std::size_t maxFrameBytes() const { return maxFrameBytes_; }

 private:
  // The length of the frame starting at begin_, when its header is in.
  bool headerReady(std::uint32_t& length) const;

  int socket_;
  std::size_t maxFrameBytes_;
  std::vector<std::uint8_t> input_;
  std::size_t begin_ = 0;  // first unread byte in input_
  std::size_t end_ = 0;    // one past the last received byte
};

}  // namespace quill
