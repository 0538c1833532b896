// Calls on an object of a real server program: the cost the extension pays
// for each call it makes on the bridge.
#include <benchmark/benchmark.h>

#include "bench/remote/SocketPairRoundTrip.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "tests/platform/automation/remote/TestObjects.h"

namespace {

using namespace quill;

DispatchPtr startProbe() {
  remotetest::registerTestTypes();
  ProgramEntry entry{remotetest::kProbeProgId, ProgramEntry::Kind::LocalServer, QUILL_TEST_SERVER};
  return createObject(entry);
}

void BM_RemoteRoundTrip_Empty(benchmark::State& state) {
  auto probe = startProbe();
  for (auto _ : state) benchmark::DoNotOptimize(probe->invoke("Nothing", CallKind::Method, {}));
}
BENCHMARK(BM_RemoteRoundTrip_Empty)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The floor under every remote call on this machine: a socket pair round trip.
void BM_SocketPairRoundTrip_Baseline(benchmark::State& state) { bench::socketPairRoundTrips(state); }
BENCHMARK(BM_SocketPairRoundTrip_Baseline)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Six by-reference arguments, the shape of the bridge's freight allowance call.
void BM_RemoteRoundTrip_SixByRefArguments(benchmark::State& state) {
  auto probe = startProbe();
  std::vector<Variant> args{Variant("FA"),
                            Variant(std::int32_t{1234}),
                            Variant(std::int16_t{1}),
                            Variant(std::int16_t{2024}),
                            Variant(12.5),
                            Variant("ABONO")};
  for (auto _ : state) benchmark::DoNotOptimize(probe->invoke("Accept", CallKind::Method, args));
}
BENCHMARK(BM_RemoteRoundTrip_SixByRefArguments)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// The server calling back into the client while the client waits, as the
// bridge queries through the extension's data access.
void BM_RemoteRoundTrip_NestedCallback(benchmark::State& state) {
  auto probe = startProbe();
  auto mine = std::make_shared<remotetest::Probe>("client");
  std::vector<Variant> args{Variant(DispatchPtr(mine)), Variant("Nothing")};
  for (auto _ : state) benchmark::DoNotOptimize(probe->invoke("CallBack", CallKind::Method, args));
}
BENCHMARK(BM_RemoteRoundTrip_NestedCallback)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// A disconnected recordset-sized result copied by value.
void BM_RemoteByValue_1000Rows(benchmark::State& state) {
  auto probe = startProbe();
  for (auto _ : state) benchmark::DoNotOptimize(late::call(probe, "MakeRows", {Variant(std::int32_t{1000})}));
}
BENCHMARK(BM_RemoteByValue_1000Rows)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
