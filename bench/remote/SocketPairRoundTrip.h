#pragma once

#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quill::bench {

// The floor under every remote call on this machine: 16 bytes to another
// process over a socket pair and back, with nothing encoded or served. Each
// iteration is one round trip.
inline void socketPairRoundTrips(benchmark::State& state) {
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sv) != 0) return state.SkipWithError("socketpair");
  const pid_t echo = ::fork();
  if (echo == 0) {
    ::close(sv[0]);
    char bytes[64];
    for (;;) {
      pollfd p{sv[1], POLLIN, 0};
      ::poll(&p, 1, -1);
      ssize_t n = ::recv(sv[1], bytes, sizeof bytes, 0);
      if (n <= 0 || ::send(sv[1], bytes, static_cast<std::size_t>(n), 0) != n) ::_exit(0);
    }
  }
  ::close(sv[1]);
  char bytes[64] = {};
  for (auto _ : state) {
    ::send(sv[0], bytes, 16, 0);
    pollfd p{sv[0], POLLIN, 0};
    ::poll(&p, 1, -1);
    benchmark::DoNotOptimize(::recv(sv[0], bytes, sizeof bytes, 0));
  }
  ::close(sv[0]);
  ::waitpid(echo, nullptr, 0);
}

}  // namespace quill::bench
