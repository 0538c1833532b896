#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "platform/automation/AutomationError.h"
#include "platform/automation/remote/RemoteLink.h"

namespace quill::remotetest {

// The other end of a socket pair, served by a forked copy of this process
// with the test classes. Exit codes of the copy: 0 last object released,
// 3 peer closed, 4 link failed.
class ForkedPeer {
 public:
  explicit ForkedPeer(RemoteLink::Options options = {}, bool withRawDescriptor = false);
  ~ForkedPeer();

  // The copy's exit code once it ends (killed after `wait` otherwise; then -signal).
  int exitCode(std::chrono::milliseconds wait = std::chrono::seconds(5));
  // A descriptor writing into the copy's end beside the link, when asked for.
  int rawDescriptor() const { return raw_; }

  std::shared_ptr<RemoteLink> link;
  pid_t pid = -1;

 private:
  int raw_ = -1;
  std::optional<int> exit_;
};

// A hand-driven peer: the test writes and reads the frames itself.
class RawPeer {
 public:
  explicit RawPeer(RemoteLink::Options options = {});
  ~RawPeer();
  void send(const nlohmann::json& message);
  void sendBytes(const std::string& bytes);  // already framed
  // The next frame the link wrote, decoded; nothing when none comes in time.
  std::optional<nlohmann::json> receive(std::chrono::milliseconds wait = std::chrono::milliseconds(2000));

  std::shared_ptr<RemoteLink> link;
  int fd = -1;
};

// A frame of the given payload bytes.
std::string frame(const std::string& payload);
std::string framedMsgpack(const nlohmann::json& message);

// The AutomationError a call raises; fails the test when it raises none.
AutomationError errorOf(const std::function<void()>& call);

// Milliseconds a call took.
long long millisecondsOf(const std::function<void()>& call);

}  // namespace quill::remotetest
