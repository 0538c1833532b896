// The link between two processes, over a socket pair: the far end is either
// a forked copy of this process serving the test classes, or the test
// itself writing frames by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

#include "platform/automation/SlowCalls.h"
#include "platform/automation/remote/RemoteLink.h"
#include "platform/automation/remote/RemoteProxy.h"
#include "tests/platform/automation/remote/LinkPeers.h"
#include "tests/platform/automation/remote/TestObjects.h"

namespace quill::remotetest {
namespace {

using json = nlohmann::json;
using namespace std::chrono_literals;

RemoteLink::Options options(std::chrono::milliseconds timeout = 10s,
                            std::size_t maxFrame = RemoteLink::kMaxFrameBytes) {
  RemoteLink::Options o;
  o.callTimeout = timeout;
  o.maxFrameBytes = maxFrame;
  return o;
}

class RemoteLinkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { registerTestTypes(); }
};

TEST_F(RemoteLinkTest, VariantsOfEveryKindCrossExactly) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  const std::string rawBytes("a\0b\xff\xfe \xc3\xa7 \r\n", 11);
  const struct {
    const char* name;
    Variant value;
  } rows[] = {
      {"Empty", Variant()},
      {"Null", Variant::null()},
      {"True", Variant(true)},
      {"False", Variant(false)},
      {"smallest Integer", Variant(std::int16_t{-32768})},
      {"Integer that fits a fixint", Variant(std::int16_t{5})},
      {"smallest Long", Variant(std::numeric_limits<std::int32_t>::min())},
      {"largest Long", Variant(std::numeric_limits<std::int32_t>::max())},
      {"Long that fits a fixint", Variant(std::int32_t{5})},
      {"Double without a float form", Variant(0.1)},
      {"Double with a float form", Variant(1.5)},
      {"huge Double", Variant(1e308)},
      {"Date with a time", Variant(Date{45000.75})},
      {"zero Date", Variant(Date{0.0})},
      {"empty String", Variant("")},
      {"String with NUL and bytes that are not UTF-8", Variant(rawBytes)},
      {"Nothing", Variant(DispatchPtr())},
      {"Array with lower bound 1", Variant(makeArray({Variant(std::int32_t{7}), Variant("x"), Variant::null()}, 1))},
      {"empty Array", Variant(makeArray({}, 0))},
      {"nested Arrays",
       Variant(makeArray(
           {Variant(makeArray({Variant(std::int16_t{1}), Variant(Date{2.5})}, -5)), Variant(makeArray({}, 3))}, 0))},
  };
  for (const auto& row : rows) {
    Variant back = late::call(probe, "Echo", {row.value});
    EXPECT_EQ(back.type(), row.value.type()) << row.name;
    EXPECT_EQ(back, row.value) << row.name << ": " << back.debugString();
  }
  EXPECT_TRUE(std::signbit(late::call(probe, "Echo", {Variant(-0.0)}).doubleValue()));
  EXPECT_EQ(late::call(probe, "Echo", {Variant(makeArray({}, 7))}).arrayValue().lowerBound, 7);
}

TEST_F(RemoteLinkTest, ByReferenceArgumentsAndPutsComeBackToTheCaller) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  std::vector<Variant> pair{Variant("a"), Variant(1.5)};
  late::callRef(probe, "Swap", pair);
  EXPECT_EQ(pair[0], Variant(1.5));
  EXPECT_EQ(pair[1], Variant("a"));
  std::vector<Variant> counter{Variant(std::int32_t{41})};
  late::callRef(probe, "INCREMENT", counter);
  EXPECT_EQ(counter[0], Variant(std::int32_t{42}));
  // Member names travel as written; the callee matches them without case.
  late::let(probe, "vAlUe", Variant("posto"));
  EXPECT_EQ(late::get(probe, "VALUE"), Variant("posto"));
}

TEST_F(RemoteLinkTest, ErrorsCrossWithNumberSourceAndDescription) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  auto raised = errorOf([&] {
    late::call(probe, "Raise",
               {Variant(std::int32_t{-2147217900}), Variant("cNextDocComercial::Iniciar"),
                Variant("Documento não encontrado")});
  });
  EXPECT_EQ(raised.number(), -2147217900);
  EXPECT_EQ(raised.source(), "cNextDocComercial::Iniciar");
  EXPECT_EQ(raised.description(), "Documento não encontrado");

  auto unknown = errorOf([&] { late::call(probe, "Subtract"); });
  EXPECT_EQ(unknown.number(), 438);
  EXPECT_EQ(unknown.source(), "Probe");
  EXPECT_EQ(unknown.description(), "Object doesn't support this property or method");
  EXPECT_EQ(errorOf([&] { late::call(probe, "Echo"); }).number(), 450);

  // A C++ exception in the callee is an automation error, not a crash.
  auto foreign = errorOf([&] { late::call(probe, "Fail", {Variant("disk full")}); });
  EXPECT_EQ(foreign.number(), 440);
  EXPECT_EQ(foreign.source(), "Probe");
  EXPECT_EQ(foreign.description(), "Automation error in Probe.Fail: disk full");

  EXPECT_EQ(errorOf([&] { peer.link->createRemote("QuillTest.NoSuchClass"); }).number(), 429);
  EXPECT_EQ(late::call(probe, "Echo", {Variant("still here")}), Variant("still here"));
}

TEST_F(RemoteLinkTest, NestedCallsGoBothWaysToAnyDepthOnOneThread) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  auto mine = std::make_shared<Probe>("here");
  auto trace = late::call(probe, "Bounce", {Variant(std::int32_t{9}), Variant(DispatchPtr(mine))});
  EXPECT_EQ(trace, Variant("forked9 here8 forked7 here6 forked5 here4 forked3 here2 forked1 here0"));
  // The far side handed itself back each time: the same proxy, not a new one.
  EXPECT_EQ(mine->lastPartner.lock(), probe);
}

TEST_F(RemoteLinkTest, AnObjectSentBackToItsOwnerIsTheOriginal) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  auto mine = std::make_shared<Probe>("mine");
  late::call(probe, "Keep", {Variant(DispatchPtr(mine))});
  EXPECT_EQ(late::call(probe, "Kept").objectValue(), mine);
  EXPECT_EQ(late::call(probe, "IsKept", {Variant(DispatchPtr(mine))}), Variant(true));
  EXPECT_EQ(late::call(probe, "Same", {Variant(DispatchPtr(mine)), Variant(DispatchPtr(mine))}), Variant(true));
  EXPECT_EQ(late::call(probe, "Same", {Variant(probe), Variant(probe)}), Variant(true));
  EXPECT_EQ(late::call(probe, "Echo", {Variant(probe)}).objectValue(), probe);
  EXPECT_NE(dynamic_cast<RemoteProxy*>(probe.get()), nullptr);
  EXPECT_EQ(probe->className(), "Probe");
}

TEST_F(RemoteLinkTest, ByValueObjectsArriveAsLocalCopies) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  auto rows = late::call(probe, "MakeRows", {Variant(std::int32_t{3})}).objectValue();
  auto* copy = dynamic_cast<TestRows*>(rows.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->rows, (std::vector<std::string>{"row 0", "row 1", "row 2"}));
  copy->rows.push_back("added here");
  EXPECT_EQ(late::call(probe, "RowCount", {Variant(rows)}), Variant(std::int32_t{4}));
  // A type the far side cannot rebuild is refused there, the link intact.
  auto unknownType =
      errorOf([&] { late::call(probe, "RowCount", {Variant(DispatchPtr(std::make_shared<LocalOnlyRows>()))}); });
  EXPECT_EQ(unknownType.number(), 13);
  EXPECT_TRUE(peer.link->connected());
}

TEST_F(RemoteLinkTest, ReleasingTheLastReferenceReleasesTheObjectInItsOwner) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  const int before = Probe::live();
  {
    auto mine = std::make_shared<Probe>("lent");
    late::call(probe, "Keep", {Variant(DispatchPtr(mine))});
  }
  EXPECT_EQ(Probe::live(), before + 1) << "the far side still holds it";
  EXPECT_EQ(peer.link->exportedCount(), 1u);
  late::call(probe, "Forget");
  EXPECT_EQ(Probe::live(), before);
  EXPECT_EQ(peer.link->exportedCount(), 0u);

  const auto farBefore = late::call(probe, "LiveProbes").longValue();
  auto second = late::call(probe, "NewProbe", {Variant("second")}).objectValue();
  EXPECT_EQ(late::call(probe, "LiveProbes"), Variant(farBefore + 1));
  second.reset();
  EXPECT_EQ(late::call(probe, "LiveProbes"), Variant(farBefore));
  probe.reset();
  EXPECT_EQ(peer.exitCode(), 0) << "the server ends when its last object is released";
}

TEST_F(RemoteLinkTest, AProxyReleasedDuringItsOwnCallLivesUntilTheCallReturns) {
  ForkedPeer peer(options());
  DispatchPtr held = peer.link->createRemote(kProbeProgId);
  auto mine = std::make_shared<Probe>("callback");
  mine->onFire = [&] { held.reset(); };
  std::vector<Variant> args{Variant(DispatchPtr(mine)), Variant("Fire")};
  Dispatch* raw = held.get();
  EXPECT_EQ(raw->invoke("CallBack", CallKind::Method, args), Variant());
  EXPECT_FALSE(held);
  EXPECT_EQ(peer.exitCode(), 0);
}

TEST_F(RemoteLinkTest, ThePeerDyingMidCallGives462AndEveryLaterCallFailsAtOnce) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  auto death = errorOf([&] { late::call(probe, "Exit", {Variant(std::int32_t{9})}); });
  EXPECT_EQ(death.number(), 462);
  EXPECT_EQ(death.description(), "The remote server machine does not exist or is unavailable");
  EXPECT_FALSE(peer.link->connected());
  EXPECT_FALSE(peer.link->closeReason().empty());
  auto later = millisecondsOf([&] { EXPECT_EQ(errorOf([&] { late::call(probe, "Nothing"); }).number(), 462); });
  EXPECT_LT(later, 50);
  EXPECT_EQ(errorOf([&] { peer.link->createRemote(kProbeProgId); }).number(), 462);
  EXPECT_EQ(peer.exitCode(), 9);
}

TEST_F(RemoteLinkTest, APeerThatStopsAnsweringTimesOutWith462) {
  ForkedPeer peer(options(200ms));
  auto probe = peer.link->createRemote(kProbeProgId);
  auto waited = millisecondsOf(
      [&] { EXPECT_EQ(errorOf([&] { late::call(probe, "Sleep", {Variant(std::int32_t{1500})}); }).number(), 462); });
  EXPECT_GE(waited, 150);
  EXPECT_LT(waited, 1000);
  EXPECT_NE(peer.link->closeReason().find("did not answer"), std::string::npos);
}

TEST_F(RemoteLinkTest, TimeSpentServingNestedCallsDoesNotCountAgainstTheWait) {
  // Each of our turns lasts less than the timeout; together they last longer.
  ForkedPeer peer(options(400ms));
  auto probe = peer.link->createRemote(kProbeProgId);
  auto mine = std::make_shared<Probe>("slow");
  mine->onFire = [] { std::this_thread::sleep_for(150ms); };
  auto trace = late::call(probe, "Bounce", {Variant(std::int32_t{6}), Variant(DispatchPtr(mine))});
  EXPECT_EQ(trace, Variant("forked6 slow5 forked4 slow3 forked2 slow1 forked0"));
  EXPECT_TRUE(peer.link->connected());
}

// What this thread's slow-call observer hears, with when.
struct HeardSlowCalls : SlowCallObserver {
  using Clock = std::chrono::steady_clock;
  std::vector<std::pair<std::string, Clock::time_point>> heard;
  HeardSlowCalls() { addSlowCallObserver(this); }
  ~HeardSlowCalls() override { removeSlowCallObserver(this); }
  void slowCallStarted() override { heard.emplace_back("started", Clock::now()); }
  void slowCallWaiting() override { heard.emplace_back("waiting", Clock::now()); }
  void slowCallEnded() override { heard.emplace_back("ended", Clock::now()); }
  std::size_t count(const char* what) const {
    return static_cast<std::size_t>(
        std::count_if(heard.begin(), heard.end(), [&](auto& h) { return h.first == what; }));
  }
};

TEST_F(RemoteLinkTest, ACallThatKeepsItsCallerWaitingIsToldToTheObserverUntilItEnds) {
  auto o = options(5s);
  o.slowCallAfter = 300ms;
  o.slowCallTick = 50ms;
  ForkedPeer peer(o);
  auto probe = peer.link->createRemote(kProbeProgId);
  HeardSlowCalls observer;

  late::call(probe, "Sleep", {Variant(std::int32_t{100})});
  EXPECT_TRUE(observer.heard.empty()) << "a quick call is not slow";

  const auto start = HeardSlowCalls::Clock::now();
  late::call(probe, "Sleep", {Variant(std::int32_t{900})});
  ASSERT_GE(observer.heard.size(), 3u);
  EXPECT_EQ(observer.heard.front().first, "started");
  EXPECT_GE(observer.heard.front().second - start, 290ms);
  EXPECT_LT(observer.heard.front().second - start, 600ms);
  EXPECT_EQ(observer.heard.back().first, "ended");
  EXPECT_EQ(observer.count("started"), 1u);
  EXPECT_EQ(observer.count("ended"), 1u);
  EXPECT_GE(observer.count("waiting"), 6u) << "about every 50 ms from 300 ms to 900 ms";
  EXPECT_LE(observer.count("waiting"), 13u);

  // A call that times out ends too, with the timeout's error.
  observer.heard.clear();
  ForkedPeer frozen(options(700ms));
  auto stuck = frozen.link->createRemote(kProbeProgId);
  EXPECT_EQ(errorOf([&] { late::call(stuck, "Sleep", {Variant(std::int32_t{3000})}); }).number(), 462);
  EXPECT_EQ(observer.count("started"), 0u) << "the default 2 s were not reached";
  auto slowFrozen = options(700ms);
  slowFrozen.slowCallAfter = 200ms;
  ForkedPeer frozenLonger(slowFrozen);
  auto stuckLonger = frozenLonger.link->createRemote(kProbeProgId);
  EXPECT_EQ(errorOf([&] { late::call(stuckLonger, "Sleep", {Variant(std::int32_t{3000})}); }).number(), 462);
  EXPECT_EQ(observer.count("started"), 1u);
  ASSERT_FALSE(observer.heard.empty());
  EXPECT_EQ(observer.heard.back().first, "ended");
}

}  // namespace
}  // namespace quill::remotetest
