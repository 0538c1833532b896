#include "platform/automation/remote/CreateObject.h"

#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <unordered_map>

#include "platform/automation/AutomationError.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/RemoteLink.h"
#include "platform/automation/remote/ServerProcess.h"

namespace quill {

namespace {
// This process's links to its server programs, by program path. A link
// lives as long as a proxy of one of its objects does.
std::unordered_map<std::string, std::weak_ptr<RemoteLink>>& runningLinks() {
  static std::unordered_map<std::string, std::weak_ptr<RemoteLink>> links;
  return links;
}

std::shared_ptr<RemoteLink> startServer(const ProgramEntry& entry) {
  int sockets[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) throw vbError(vberr::CannotCreateObject);
  std::unique_ptr<ServerProcess> process;
  try {
    process = ServerProcess::start(entry.binary, sockets[1]);
  } catch (...) {
    ::close(sockets[0]);
    ::close(sockets[1]);
    throw;
  }
  ::close(sockets[1]);
  auto link = RemoteLink::open(sockets[0]);
  link->attachProcess(std::move(process));
  return link;
}

DispatchPtr createLocalServerObject(const ProgramEntry& entry) {
  auto& links = runningLinks();
  const std::string key = entry.binary.string();
  if (auto running = links[key].lock(); running && running->connected()) {
    try {
      return running->createRemote(entry.progId);
    } catch (const AutomationError& e) {
      // The program ended meanwhile: a new one is started below.
      if (e.number() != vberr::ServerUnavailable) throw;
    }
  }
  auto link = startServer(entry);
  links[key] = link;
  try {
    return link->createRemote(entry.progId);
  } catch (const AutomationError& e) {
    // A program that ends before answering could not create the object.
    if (e.number() == vberr::ServerUnavailable) throw vbError(vberr::CannotCreateObject);
    throw;
  }
}
}  // namespace

DispatchPtr createObject(std::string_view progId) { return createObject(progId, ProgramRegistry::installed()); }

DispatchPtr createObject(std::string_view progId, const ProgramRegistry& registry) {
  auto entry = registry.find(progId);
  if (!entry) throw vbError(vberr::CannotCreateObject);
  return createObject(*entry);
}

DispatchPtr createObject(const ProgramEntry& entry) {
  if (entry.kind == ProgramEntry::Kind::InProcess) return createInProcessObject(entry);
  return createLocalServerObject(entry);
}

}  // namespace quill
