#include "platform/automation/remote/RemoteLink.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>

#include "platform/automation/AutomationError.h"
#include "platform/automation/MessagePackReader.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/SlowCalls.h"
#include "platform/automation/remote/ProtocolError.h"
#include "platform/automation/remote/RemoteProxy.h"
#include "platform/automation/remote/ServerProcess.h"
#include "platform/automation/remote/VariantCodec.h"

namespace quill {

namespace {
using json = nlohmann::json;
using std::chrono::milliseconds;

// Every message is an array whose first element says what it is:
//   [Call, call id, object id, member, call kind, [arguments]]
//   [Reply, call id, result, [arguments as the callee left them]]
//   [Fault, call id, number, source, description]
//   [Release, object id, count]
//   [Create, call id, program id]
enum MessageKind : int { Call = 0, Reply = 1, Fault = 2, Release = 3, Create = 4 };

// An object reference: [9, Yours, id] is one of the receiver's own objects
// coming back; [9, Mine, id, class name] is one of the sender's.
enum ReferenceSide : int { Mine = 0, Yours = 1 };

// A message is at most a few arrays deep around its values.
constexpr int kMaxMessageDepth = 2 * VariantCodec::kMaxArrayDepth + 8;

// VB's "Automation error": what a failure that is not an automation error
// (a C++ exception in the callee) becomes.
constexpr std::int32_t kAutomationErrorNumber = 440;
// A call on an object its owner no longer has.
constexpr std::int32_t kObjectDisconnected = -2147417848;

// How long a server program gets to end by itself once its link is closed.
constexpr milliseconds kExitGrace{1000};

// The send buffer is reused from call to call; one grown by a huge message
// is given back.
constexpr std::size_t kKeptBufferBytes = 1024 * 1024;

std::uint64_t idOf(const json& value, const char* what) {
  if (value.is_number_unsigned()) return value.get<std::uint64_t>();
  if (value.is_number_integer() && value.get<std::int64_t>() >= 0) return value.get<std::uint64_t>();
  throw ProtocolError(fmt::format("{} is not an unsigned number", what));
}

std::int64_t intOf(const json& value, std::int64_t lo, std::int64_t hi, const char* what) {
  std::int64_t n = 0;
  if (value.is_number_unsigned()) {
    if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(hi))
      throw ProtocolError(fmt::format("{} out of range", what));
    n = static_cast<std::int64_t>(value.get<std::uint64_t>());
  } else if (value.is_number_integer()) {
    n = value.get<std::int64_t>();
  } else {
    throw ProtocolError(fmt::format("{} is not a number", what));
  }
  if (n < lo || n > hi) throw ProtocolError(fmt::format("{} out of range", what));
  return n;
}

const std::string& textOf(const json& value, const char* what) {
  if (!value.is_string()) throw ProtocolError(fmt::format("{} is not text", what));
  return value.get_ref<const std::string&>();
}

void expectShape(const json& message, std::size_t size, const char* what) {
  if (message.size() != size) throw ProtocolError(fmt::format("a {} message of {} parts", what, message.size()));
}

json faultOf(std::uint64_t callId, const AutomationError& error) {
  return json::array({Fault, callId, error.number(), error.source(), error.description()});
}
}  // namespace

RemoteLink::Options RemoteLink::defaultOptions() {
  Options options;
  if (const char* text = std::getenv(kTimeoutVariable); text && *text) {
    char* end = nullptr;
    long long ms = std::strtoll(text, &end, 10);
    if (end && *end == '\0' && ms > 0) options.callTimeout = milliseconds(ms);
  }
  return options;
}

std::shared_ptr<RemoteLink> RemoteLink::open(int socket, Options options) {
  return std::shared_ptr<RemoteLink>(new RemoteLink(socket, options));
}

RemoteLink::RemoteLink(int socket, Options options) : options_(options), channel_(socket, options.maxFrameBytes) {
  sendBuffer_.reserve(4096);
}

RemoteLink::~RemoteLink() {
  // No proxy of ours is left (each keeps the link alive); closing the socket
  // tells the other side, which releases what it held of ours and ends.
  closed_ = true;
  channel_.close();
  releaseAllExports();
  if (process_) process_->stop(kExitGrace);
}

void RemoteLink::attachProcess(std::unique_ptr<ServerProcess> process) { process_ = std::move(process); }

AutomationError RemoteLink::unavailable(const std::string& source) const {
  return vbError(vberr::ServerUnavailable, source);
}

void RemoteLink::fail(std::string reason, bool peerHung) noexcept {
  if (closed_) return;
  closed_ = true;
  closeReason_ = std::move(reason);
  channel_.close();
  pendingReleases_.clear();
  releaseAllExports();
  // A peer that stopped answering gets no grace: it is killed at once.
  if (process_) process_->stop(peerHung ? milliseconds(0) : kExitGrace);
}

void RemoteLink::releaseAllExports() noexcept {
  // Moved out first: an object's destructor may come back to the link.
  auto exports = std::move(exports_);
  exports_.clear();
  exportIds_.clear();
  uncommitted_.clear();
  exports.clear();
}

// ---- references ----------------------------------------------------------

json RemoteLink::encodeReference(const DispatchPtr& object) {
  if (auto* proxy = dynamic_cast<const RemoteProxy*>(object.get()); proxy && proxy->link_.get() == this)
    return json::array({VariantCodec::Object, Yours, proxy->id_});
  auto [it, inserted] = exportIds_.try_emplace(object.get(), 0);
  if (inserted) {
    it->second = nextExportId_++;
    exports_.emplace(it->second, Export{object, 0});
  }
  const std::uint64_t id = it->second;
  ++exports_[id].sent;
  uncommitted_.push_back(id);
  return json::array({VariantCodec::Object, Mine, id, object->className()});
}

DispatchPtr RemoteLink::decodeReference(const json& reference) {
  if (reference.size() < 3) throw ProtocolError("a malformed object reference");
  auto side = intOf(reference[1], Mine, Yours, "an object reference's side");
  std::uint64_t id = idOf(reference[2], "an object id");
  if (side == Yours) {
    if (reference.size() != 3) throw ProtocolError("a malformed object reference");
    auto it = exports_.find(id);
    if (it == exports_.end()) throw ProtocolError(fmt::format("a reference to object {}, never sent", id));
    return it->second.object;
  }
  if (reference.size() != 4) throw ProtocolError("a malformed object reference");
  const std::string& className = textOf(reference[3], "a class name");
  Import& slot = imports_[id];
  if (auto existing = slot.proxy.lock()) {
    ++existing->received_;
    return existing;
  }
  auto proxy = std::make_shared<RemoteProxy>(shared_from_this(), id, className);
  slot = Import{proxy, proxy.get()};
  return proxy;
}

void RemoteLink::forget(const RemoteProxy& proxy) noexcept {
  if (auto it = imports_.find(proxy.id_); it != imports_.end() && it->second.raw == &proxy) imports_.erase(it);
  if (closed_) return;
  if (sending_) {
    pendingReleases_.emplace_back(proxy.id_, proxy.received_);
    return;
  }
  sendRelease(proxy.id_, proxy.received_);
}

void RemoteLink::unexport(std::uint64_t id, std::uint64_t count) {
  auto it = exports_.find(id);
  if (it == exports_.end()) return;
  if (it->second.sent > count) {
    it->second.sent -= count;
    return;
  }
  DispatchPtr object = std::move(it->second.object);
  exports_.erase(it);
  exportIds_.erase(object.get());
  object.reset();  // may run the object's destructor, which may use the link
}

void RemoteLink::commitExports() {
  uncommitted_.clear();
  if (!exports_.empty()) exportedOnce_ = true;
}

void RemoteLink::rollbackExports() noexcept {
  auto ids = std::move(uncommitted_);
  uncommitted_.clear();
  for (auto id : ids) unexport(id, 1);
}

json RemoteLink::encodeArgs(std::span<const Variant> args) {
  json out = json::array();
  out.get_ref<json::array_t&>().reserve(args.size());
  for (const Variant& arg : args) out.push_back(VariantCodec::encode(arg, *this));
  return out;
}

std::vector<Variant> RemoteLink::decodeArgs(const json& args) {
  if (!args.is_array()) throw ProtocolError("arguments that are not a list");
  std::vector<Variant> out;
  out.reserve(args.size());
  for (const json& arg : args) out.push_back(VariantCodec::decode(arg, *this));
  return out;
}

// ---- sending -------------------------------------------------------------

RemoteLink::Written RemoteLink::write(const json& message) {
  if (closed_) return Written::Closed;
  Written result = Written::TooLarge;
  {
    // Proxies released meanwhile queue their releases (see forget).
    struct Sending {
      bool& flag;
      explicit Sending(bool& f) : flag(f) { flag = true; }
      ~Sending() { flag = false; }
    } sending(sending_);
    sendBuffer_.resize(FrameChannel::kHeaderBytes);
    json::to_msgpack(message, sendBuffer_);
    lastSize_ = sendBuffer_.size() - FrameChannel::kHeaderBytes;
    if (lastSize_ <= options_.maxFrameBytes)
      result = channel_.send(sendBuffer_, options_.callTimeout) ? Written::Sent : Written::Closed;
  }
  if (sendBuffer_.capacity() > kKeptBufferBytes) {
    sendBuffer_.clear();
    sendBuffer_.shrink_to_fit();
    sendBuffer_.reserve(4096);
  }
  if (result == Written::Closed) fail("the other process stopped reading or is gone");
  return result;
}

void RemoteLink::send(const json& message, const std::string& source) {
  switch (write(message)) {
    case Written::Sent:
      break;
    case Written::TooLarge:
      rollbackExports();
      throw AutomationError(
          vberr::InvalidCall, source,
          fmt::format("The data of this call ({} bytes) is more than another process accepts ({} bytes)", lastSize_,
                      options_.maxFrameBytes));
    case Written::Closed:
      rollbackExports();
      throw unavailable(source);
  }
  commitExports();
  // Proxies released while the frame was being written.
  auto releases = std::move(pendingReleases_);
  pendingReleases_.clear();
  for (auto [id, count] : releases) sendRelease(id, count);
}

void RemoteLink::sendRelease(std::uint64_t id, std::uint64_t count) noexcept {
  // A release that cannot leave needs nothing more: the link is then closed
  // and the peer drops everything it held.
  try {
    write(json::array({Release, id, count}));
  } catch (...) {
  }
}

// ---- receiving -----------------------------------------------------------

// One call's wait as this thread's slow-call observer sees it: nothing until
// the call has lasted slowCallAfter, then a start, a tick every slowCallTick
// of waiting, and an end when the call is over.
class RemoteLink::SlowWait {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SlowWait(const Options& options)
      : observer_(slowCallObserver()), due_(Clock::now() + options.slowCallAfter), tick_(options.slowCallTick) {}
  ~SlowWait() {
    if (started_) tell(&SlowCallObserver::slowCallEnded);
  }
  SlowWait(const SlowWait&) = delete;
  SlowWait& operator=(const SlowWait&) = delete;

  // How long the socket may be waited on before the observer is due.
  milliseconds slice(milliseconds remaining) const {
    if (!observer_) return remaining;
    auto untilDue = std::chrono::ceil<milliseconds>(due_ - Clock::now());
    return std::clamp(untilDue, milliseconds(0), remaining);
  }
  // A slice ended with nothing arriving.
  void waited() {
    if (!observer_ || Clock::now() < due_) return;
    tell(started_ ? &SlowCallObserver::slowCallWaiting : &SlowCallObserver::slowCallStarted);
    started_ = true;
    due_ = Clock::now() + tick_;
  }

 private:
  void tell(void (SlowCallObserver::*what)()) noexcept {
    try {
      (observer_->*what)();
    } catch (...) {
    }
  }

  SlowCallObserver* observer_;
  Clock::time_point due_;
  milliseconds tick_;
  bool started_ = false;
};

RemoteLink::Received RemoteLink::nextMessage(milliseconds timeout, json& message, SlowWait* slow) {
  if (closed_) return Received::Failed;
  std::span<const std::uint8_t> frame;
  FrameChannel::Status status;
  if (!slow || timeout.count() < 0) {
    status = channel_.receive(timeout, frame);
  } else {
    // The wait goes in slices, so that the observer is told while it lasts;
    // what part of a frame arrived stays in the channel between slices.
    const auto deadline = SlowWait::Clock::now() + timeout;
    for (;;) {
      const auto remaining =
          std::max(milliseconds(0), std::chrono::ceil<milliseconds>(deadline - SlowWait::Clock::now()));
      status = channel_.receive(slow->slice(remaining), frame);
      if (status != FrameChannel::Status::TimedOut || SlowWait::Clock::now() >= deadline) break;
      slow->waited();
    }
  }
  switch (status) {
    case FrameChannel::Status::Frame:
      break;
    case FrameChannel::Status::Closed:
      fail("the other process closed the link");
      return Received::Closed;
    case FrameChannel::Status::TimedOut:
      fail(fmt::format("the other process did not answer within {} ms", timeout.count()), true);
      return Received::Failed;
    case FrameChannel::Status::Oversized:
      fail(fmt::format("the other process sent a message above {} bytes", options_.maxFrameBytes));
      return Received::Failed;
    case FrameChannel::Status::Failed:
      fail("the link's socket failed");
      return Received::Failed;
  }
  auto parsed = MessagePackReader::read(frame, {kMaxMessageDepth, false});
  if (!parsed || !parsed->is_array() || parsed->empty()) {
    fail("the other process sent a malformed message");
    return Received::Failed;
  }
  message = std::move(*parsed);
  return Received::Message;
}

bool RemoteLink::handle(const json& message, std::optional<std::uint64_t> awaiting) {
  switch (intOf(message[0], Call, Create, "a message kind")) {
    case Call:
      serveCall(message);
      return false;
    case Create:
      serveCreate(message);
      return false;
    case Release:
      serveRelease(message);
      return false;
    default: {
      // Calls nest strictly, so the only answer that can arrive is the one
      // to the innermost call waiting.
      if (message.size() < 2) throw ProtocolError("an answer without a call id");
      auto callId = idOf(message[1], "a call id");
      if (!awaiting || callId != *awaiting)
        throw ProtocolError(fmt::format("an answer to call {}, not waited for", callId));
      return true;
    }
  }
}

json RemoteLink::awaitReply(std::uint64_t callId, const std::string& source) {
  SlowWait slow(options_);
  for (;;) {
    json message;
    if (nextMessage(options_.callTimeout, message, &slow) != Received::Message) throw unavailable(source);
    try {
      if (handle(message, callId)) return message;
    } catch (const ProtocolError& e) {
      fail(e.what());
      throw unavailable(source);
    }
  }
}

Variant RemoteLink::readReply(const json& reply, std::span<Variant> args, const std::string& source) {
  try {
    if (reply[0] == Fault) {
      expectShape(reply, 5, "fault");
      throw AutomationError(static_cast<std::int32_t>(intOf(reply[2], INT32_MIN, INT32_MAX, "an error number")),
                            textOf(reply[3], "an error source"), textOf(reply[4], "an error description"));
    }
    expectShape(reply, 4, "reply");
    Variant result = VariantCodec::decode(reply[2], *this);
    std::vector<Variant> back = decodeArgs(reply[3]);
    if (back.size() != args.size()) throw ProtocolError("an answer with another number of arguments than the call");
    std::move(back.begin(), back.end(), args.begin());
    return result;
  } catch (const ProtocolError& e) {
    fail(e.what());
    throw unavailable(source);
  }
}

// ---- calling -------------------------------------------------------------

Variant RemoteLink::invoke(RemoteProxy& proxy, std::string_view member, CallKind kind, std::span<Variant> args) {
  auto self = shared_from_this();
  const std::string& source = proxy.className_;
  if (closed_) throw unavailable(source);
  const std::uint64_t callId = ++nextCallId_;
  json message;
  try {
    message = json::array({Call, callId, proxy.id_, member, static_cast<int>(kind), encodeArgs(args)});
  } catch (...) {
    rollbackExports();
    throw;
  }
  send(message, source);
  return readReply(awaitReply(callId, source), args, source);
}

DispatchPtr RemoteLink::createRemote(std::string_view progId) {
  auto self = shared_from_this();
  const std::string source(progId);
  if (closed_) throw unavailable(source);
  const std::uint64_t callId = ++nextCallId_;
  send(json::array({Create, callId, progId}), source);
  Variant object = readReply(awaitReply(callId, source), {}, source);
  if (!object.isObject() || !object.objectValue()) throw vbError(vberr::CannotCreateObject);
  return object.objectValue();
}

// ---- serving -------------------------------------------------------------

void RemoteLink::answer(std::uint64_t callId, const std::string& source, json reply) noexcept {
  // An answer too large to send becomes the reason as a fault. When the link
  // is closed there is no one to answer: the caller sees the link closed.
  try {
    send(reply, source);
  } catch (const AutomationError& e) {
    try {
      if (!closed_) send(faultOf(callId, e), source);
    } catch (...) {
    }
  } catch (...) {
  }
}

void RemoteLink::serveCall(const json& message) {
  expectShape(message, 6, "call");
  const std::uint64_t callId = idOf(message[1], "a call id");
  const std::uint64_t objectId = idOf(message[2], "an object id");
  const std::string& member = textOf(message[3], "a member name");
  const auto kind = static_cast<CallKind>(
      intOf(message[4], static_cast<int>(CallKind::Method), static_cast<int>(CallKind::PropertyPutRef), "a call kind"));

  // Held for the whole call: the caller may release it meanwhile.
  DispatchPtr target;
  if (auto it = exports_.find(objectId); it != exports_.end()) target = it->second.object;
  std::string source = "Quill";
  try {
    if (target) source = target->className();
  } catch (...) {
  }

  // The values outlive the answer: a proxy among them must not give its
  // references back before the answer carrying it has left.
  std::vector<Variant> args;
  Variant result;
  json reply;
  try {
    args = decodeArgs(message[5]);
    if (!target)
      throw AutomationError(kObjectDisconnected, source, "The object invoked has disconnected from its clients.");
    result = target->invoke(member, kind, args);
    if (closed_) return;
    json encodedResult = VariantCodec::encode(result, *this);
    reply = json::array({Reply, callId, std::move(encodedResult), encodeArgs(args)});
  } catch (const ProtocolError&) {
    throw;
  } catch (const AutomationError& e) {
    rollbackExports();
    reply = faultOf(callId, e);
  } catch (const std::exception& e) {
    rollbackExports();
    reply = faultOf(callId, AutomationError(kAutomationErrorNumber, source,
                                            fmt::format("Automation error in {}.{}: {}", source, member, e.what())));
  } catch (...) {
    rollbackExports();
    reply =
        faultOf(callId, AutomationError(kAutomationErrorNumber, source,
                                        fmt::format("Automation error in {}.{}: an unknown failure", source, member)));
  }
  answer(callId, source, std::move(reply));
}

void RemoteLink::serveCreate(const json& message) {
  expectShape(message, 3, "create");
  const std::uint64_t callId = idOf(message[1], "a call id");
  const std::string& progId = textOf(message[2], "a program id");
  json reply;
  try {
    DispatchPtr object = factory_ ? factory_->create(progId) : nullptr;
    if (!object) throw vbError(vberr::CannotCreateObject);
    reply = json::array({Reply, callId, VariantCodec::encode(Variant(std::move(object)), *this), json::array()});
  } catch (const AutomationError& e) {
    rollbackExports();
    reply = faultOf(callId, e);
  } catch (const std::exception& e) {
    rollbackExports();
    reply = faultOf(callId, AutomationError(vberr::CannotCreateObject, progId,
                                            fmt::format("ActiveX component can't create object: {}", e.what())));
  }
  answer(callId, progId, std::move(reply));
}

void RemoteLink::serveRelease(const json& message) {
  expectShape(message, 3, "release");
  const std::uint64_t id = idOf(message[1], "an object id");
  const std::uint64_t count = idOf(message[2], "a release count");
  auto it = exports_.find(id);
  if (it == exports_.end() || count == 0 || count > it->second.sent)
    throw ProtocolError(fmt::format("a release of object {} beyond the references sent", id));
  unexport(id, count);
}

RemoteLink::ServeEnd RemoteLink::serve(const ClassFactory& factory) {
  auto self = shared_from_this();
  factory_ = &factory;
  for (;;) {
    if (closed_) return ServeEnd::Failed;
    if (exportedOnce_ && exports_.empty()) return ServeEnd::LastObjectReleased;
    json message;
    switch (nextMessage(milliseconds(-1), message)) {
      case Received::Message:
        break;
      case Received::Closed:
        return ServeEnd::PeerClosed;
      case Received::Failed:
        return ServeEnd::Failed;
    }
    try {
      handle(message, std::nullopt);
    } catch (const ProtocolError& e) {
      fail(e.what());
      return ServeEnd::Failed;
    }
  }
}

}  // namespace quill
