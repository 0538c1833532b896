#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/automation/remote/FrameChannel.h"
#include "platform/automation/remote/ObjectMarshal.h"

namespace quill {

class AutomationError;
class ClassFactory;
class RemoteProxy;
class ServerProcess;

// One end of the link between two processes that call each other's objects.
//
// Both ends are alike. Each exports the objects it passes to the other side,
// keeping them alive while the other side holds a reference, and holds one
// proxy per object it received. A call blocks its caller until the answer
// comes; while it waits, calls arriving from the other side are served on
// the same thread, to any depth, as in a single-threaded apartment.
//
// Reference counting: each time an object is sent, its count at the sender
// goes up by one; the receiver's proxy counts how many times the reference
// arrived and, when the proxy goes, gives that whole count back. A reference
// in flight while a release travels the other way is therefore never lost.
//
// A link that fails (the peer died, closed, stopped answering or sent a
// malformed message) stays closed: every call on its proxies answers 462 at
// once, and the objects the peer held are released. Used from one thread.
class RemoteLink final : public std::enable_shared_from_this<RemoteLink>, private ObjectMarshal {
 public:
  static constexpr std::size_t kMaxFrameBytes = 64u * 1024u * 1024u;
  static constexpr std::chrono::milliseconds kDefaultCallTimeout{60000};
  // Overrides the call timeout, in milliseconds.
  static constexpr const char* kTimeoutVariable = "QUILL_REMOTE_TIMEOUT_MS";

  struct Options {
    // How long a caller waits with nothing arriving from the other side
    // before the peer counts as not answering. Nested calls arriving
    // meanwhile restart the wait.
    std::chrono::milliseconds callTimeout = kDefaultCallTimeout;
    std::size_t maxFrameBytes = kMaxFrameBytes;
    // A call that has kept its caller waiting this long is a slow call for
    // this thread's SlowCallObserver (SlowCalls.h), told again every tick
    // while it waits.
    std::chrono::milliseconds slowCallAfter{2000};
    std::chrono::milliseconds slowCallTick{100};
  };
  // The defaults, with the call timeout from $QUILL_REMOTE_TIMEOUT_MS when
  // that holds a positive whole number.
  static Options defaultOptions();

  // Takes ownership of a connected stream socket.
  static std::shared_ptr<RemoteLink> open(int socket, Options options = defaultOptions());
  ~RemoteLink();
  RemoteLink(const RemoteLink&) = delete;
  RemoteLink& operator=(const RemoteLink&) = delete;

  // Asks the other side for a new object of one of its classes.
  DispatchPtr createRemote(std::string_view progId);

  enum class ServeEnd { LastObjectReleased, PeerClosed, Failed };
  // Serves the other side (creations from `factory`, calls, releases) until
  // the last object this side exported has been released, the peer closes
  // the link, or the link fails.
  ServeEnd serve(const ClassFactory& factory);

  // The server program at the other end: stopped and reaped when the link
  // closes.
  void attachProcess(std::unique_ptr<ServerProcess> process);

  bool connected() const { return !closed_; }
  // Why the link closed; empty while it is connected.
  const std::string& closeReason() const { return closeReason_; }
  // How many objects of this process the other side holds.
  std::size_t exportedCount() const { return exports_.size(); }

 private:
  friend class RemoteProxy;

  struct Export {
    DispatchPtr object;
    std::uint64_t sent = 0;  // references sent and not yet given back
  };
  struct Import {
    std::weak_ptr<RemoteProxy> proxy;
    const RemoteProxy* raw = nullptr;
  };
  enum class Received { Message, Closed, Failed };
  enum class Written { Sent, TooLarge, Closed };

  RemoteLink(int socket, Options options);

  // Used by RemoteProxy.
  Variant invoke(RemoteProxy& proxy, std::string_view member, CallKind kind, std::span<Variant> args);
  void forget(const RemoteProxy& proxy) noexcept;

  // ObjectMarshal
  nlohmann::json encodeReference(const DispatchPtr& object) override;
  DispatchPtr decodeReference(const nlohmann::json& reference) override;

  nlohmann::json encodeArgs(std::span<const Variant> args);
  std::vector<Variant> decodeArgs(const nlohmann::json& args);

  // Sends one message; exports made while building it are kept only when it
  // leaves. Fails with 462 (and closes the link) when the peer is gone, and
  // with a local error, the link intact, when the message is too large.
  void send(const nlohmann::json& message, const std::string& source);
  // Writes one frame, closing the link when the peer is gone.
  Written write(const nlohmann::json& message);
  void sendRelease(std::uint64_t id, std::uint64_t count) noexcept;
  void commitExports();
  void rollbackExports() noexcept;
  void unexport(std::uint64_t id, std::uint64_t count);

  class SlowWait;
  // The next message, waiting at most `timeout` (negative: for ever); a
  // caller's wait tells `slow` how it goes.
  Received nextMessage(std::chrono::milliseconds timeout, nlohmann::json& message, SlowWait* slow = nullptr);
  // Serves what arrived; true when it is the answer to `awaiting`.
  bool handle(const nlohmann::json& message, std::optional<std::uint64_t> awaiting);
  nlohmann::json awaitReply(std::uint64_t callId, const std::string& source);
  Variant readReply(const nlohmann::json& reply, std::span<Variant> args, const std::string& source);
  void serveCall(const nlohmann::json& message);
  void serveCreate(const nlohmann::json& message);
  void serveRelease(const nlohmann::json& message);
  void answer(std::uint64_t callId, const std::string& source, nlohmann::json reply) noexcept;

  void fail(std::string reason, bool peerHung = false) noexcept;
  void releaseAllExports() noexcept;
  AutomationError unavailable(const std::string& source) const;

  Options options_;
  FrameChannel channel_;
  bool closed_ = false;
  std::string closeReason_;
  std::uint64_t nextCallId_ = 0;

  std::unordered_map<std::uint64_t, Export> exports_;
  std::unordered_map<const Dispatch*, std::uint64_t> exportIds_;
  std::uint64_t nextExportId_ = 1;
  bool exportedOnce_ = false;
  std::vector<std::uint64_t> uncommitted_;  // exports of the message being built

  std::unordered_map<std::uint64_t, Import> imports_;

  std::vector<std::uint8_t> sendBuffer_;
  bool sending_ = false;
  std::size_t lastSize_ = 0;  // of the last message written
  std::vector<std::pair<std::uint64_t, std::uint64_t>> pendingReleases_;

  const ClassFactory* factory_ = nullptr;
  std::unique_ptr<ServerProcess> process_;
};

}  // namespace quill
