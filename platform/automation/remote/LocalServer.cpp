#include "platform/automation/remote/LocalServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/automation/remote/RemoteLink.h"

namespace quill {

namespace {
int linkDescriptor(int argc, char** argv) {
  constexpr std::string_view prefix = "--automation-fd=";
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg.substr(0, prefix.size()) != prefix) continue;
    char* end = nullptr;
    long fd = std::strtol(argv[i] + prefix.size(), &end, 10);
    if (end && *end == '\0' && fd >= 0 && fd < 65536) return static_cast<int>(fd);
  }
  return -1;
}
}  // namespace

int serveLocalServer(int argc, char** argv, const ClassFactory& factory) {
  int fd = linkDescriptor(argc, argv);
  if (fd < 0 || ::fcntl(fd, F_GETFD) < 0) {
    std::fprintf(stderr, "%s: this program is started by its clients when they create one of its objects\n",
                 argc > 0 ? argv[0] : "server");
    return 2;
  }
  // A client that vanishes mid-answer must not kill us with SIGPIPE.
  ::signal(SIGPIPE, SIG_IGN);
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  auto link = RemoteLink::open(fd);
  return link->serve(factory) == RemoteLink::ServeEnd::Failed ? 1 : 0;
}

}  // namespace quill
