// What travels on the link, checked at the level of frames: reference
// counts given back, malformed and oversized messages from either side.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/automation/MessagePackReader.h"
#include "platform/automation/remote/ProtocolError.h"
#include "platform/automation/remote/RemoteLink.h"
#include "platform/automation/remote/VariantCodec.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "tests/platform/automation/remote/LinkPeers.h"
#include "tests/platform/automation/remote/TestObjects.h"

namespace quill::remotetest {
namespace {

using json = nlohmann::json;
using namespace std::chrono_literals;

// Message kinds and reference sides as they travel.
constexpr int kCall = 0, kReply = 1, kRelease = 3, kCreate = 4;
constexpr int kObject = 9, kMine = 0, kYours = 1, kByValue = 10;

RemoteLink::Options options(std::size_t maxFrame = RemoteLink::kMaxFrameBytes) {
  RemoteLink::Options o;
  o.callTimeout = 5s;
  o.maxFrameBytes = maxFrame;
  return o;
}

std::string header(std::uint32_t n) {
  return {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
}

class RemoteWireTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { registerTestTypes(); }
};

TEST_F(RemoteWireTest, AProxyGivesBackEveryReferenceItReceivedInOneRelease) {
  RawPeer peer(options());
  peer.send(json::array({kReply, 1, json::array({kObject, kMine, 7, "Remote"}), json::array()}));
  auto first = peer.link->createRemote("Remote.Thing");
  peer.send(json::array({kReply, 2, json::array({kObject, kMine, 7, "Remote"}), json::array()}));
  auto second = late::call(first, "Self").objectValue();
  EXPECT_EQ(first, second) << "one proxy per object";
  EXPECT_EQ(second->className(), "Remote");

  EXPECT_EQ(peer.receive(), json::array({kCreate, 1, "Remote.Thing"}));
  EXPECT_EQ(peer.receive(), json::array({kCall, 2, 7, "Self", 0, json::array()}));
  first.reset();
  second.reset();
  EXPECT_EQ(peer.receive(), json::array({kRelease, 7, 2}));
}

TEST_F(RemoteWireTest, AnObjectSentTwiceSurvivesTheReleaseOfTheFirstReference) {
  RawPeer peer(options());
  peer.send(json::array({kReply, 1, json::array({kObject, kMine, 7, "Remote"}), json::array()}));
  auto remote = peer.link->createRemote("Remote.Thing");
  auto mine = std::make_shared<Probe>("lent twice");
  std::weak_ptr<Probe> watch = mine;
  // The peer answers each call by clearing the by-reference argument.
  peer.send(json::array({kReply, 2, nullptr, json::array({nullptr})}));
  peer.send(json::array({kReply, 3, nullptr, json::array({nullptr})}));
  late::call(remote, "Take", {Variant(DispatchPtr(mine))});
  late::call(remote, "Take", {Variant(DispatchPtr(mine))});
  mine.reset();

  peer.receive();  // the create
  auto call = peer.receive();
  ASSERT_TRUE(call);
  const json reference = (*call)[5][0];
  ASSERT_EQ(reference[0], kObject);
  ASSERT_EQ(reference[1], kMine);
  EXPECT_EQ(reference[3], "Probe");
  auto id = reference[2].get<std::uint64_t>();
  EXPECT_EQ((*peer.receive())[5][0], reference) << "the same object keeps its id";

  // The release of the first reference arrives while the second is out.
  peer.send(json::array({kRelease, id, 1}));
  peer.send(json::array({kReply, 4, nullptr, json::array()}));
  late::call(remote, "Ping");
  EXPECT_FALSE(watch.expired());
  peer.send(json::array({kRelease, id, 1}));
  peer.send(json::array({kReply, 5, nullptr, json::array()}));
  late::call(remote, "Ping");
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(peer.link->exportedCount(), 0u);

  // And the peer's reference to one of our objects comes back as the object.
  auto other = std::make_shared<Probe>("other");
  peer.send(json::array({kReply, 6, nullptr, json::array({nullptr})}));
  late::call(remote, "Take", {Variant(DispatchPtr(other))});
  peer.receive();
  peer.receive();
  auto call6 = peer.receive();
  ASSERT_TRUE(call6);
  auto otherId = (*call6)[5][0][2].get<std::uint64_t>();
  peer.send(json::array({kReply, 7, json::array({kObject, kYours, otherId}), json::array()}));
  EXPECT_EQ(late::call(remote, "Give").objectValue(), other);
}

TEST_F(RemoteWireTest, AnObjectReleasedByThePeerDuringItsOwnCallLivesUntilTheCallReturns) {
  RawPeer peer(options());
  peer.send(json::array({kReply, 1, json::array({kObject, kMine, 7, "Remote"}), json::array()}));
  auto remote = peer.link->createRemote("Remote.Thing");
  auto mine = std::make_shared<Probe>("released while running");
  std::weak_ptr<Probe> watch = mine;
  peer.send(json::array({kReply, 2, nullptr, json::array({nullptr})}));
  late::call(remote, "Take", {Variant(DispatchPtr(mine))});
  mine.reset();
  peer.receive();
  auto id = (*peer.receive())[5][0][2].get<std::uint64_t>();

  // While we wait on Run, the peer calls our object; the object calls the
  // peer back, and in that answer the peer gives back its last reference.
  bool aliveAfterRelease = false;
  watch.lock()->onFire = [&] {
    late::call(remote, "Ping");
    aliveAfterRelease = !watch.expired();
  };
  peer.send(json::array({kCall, 100, id, "Fire", 0, json::array()}));
  peer.send(json::array({kRelease, id, 1}));
  peer.send(json::array({kReply, 4, nullptr, json::array()}));
  peer.send(json::array({kReply, 3, nullptr, json::array()}));
  late::call(remote, "Run");
  EXPECT_TRUE(aliveAfterRelease);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(peer.receive(), json::array({kCall, 3, 7, "Run", 0, json::array()}));
  EXPECT_EQ(peer.receive(), json::array({kCall, 4, 7, "Ping", 0, json::array()}));
  EXPECT_EQ(peer.receive(), json::array({kReply, 100, nullptr, json::array()}));
}

TEST_F(RemoteWireTest, AFrameArrivingInPiecesIsReadWhole) {
  RawPeer peer(options());
  const std::string bytes =
      framedMsgpack(json::array({kReply, 1, json::array({kObject, kMine, 3, "Remote"}), json::array()}));
  // Another process writes the answer a byte at a time, header included.
  const pid_t writer = ::fork();
  if (writer == 0) {
    for (char c : bytes) {
      if (::send(peer.fd, &c, 1, MSG_NOSIGNAL) != 1) ::_exit(1);
      ::usleep(1000);
    }
    ::_exit(0);
  }
  auto object = peer.link->createRemote("Remote.Thing");
  ::waitpid(writer, nullptr, 0);
  EXPECT_EQ(object->className(), "Remote");
}

TEST_F(RemoteWireTest, LargeValuesCrossWholeInBothDirections) {
  ForkedPeer peer(options());
  auto probe = peer.link->createRemote(kProbeProgId);
  std::string big(12 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
  EXPECT_EQ(late::call(probe, "Echo", {Variant(big)}), Variant(big));
  auto rows = late::call(probe, "MakeRows", {Variant(std::int32_t{200000})}).objectValue();
  EXPECT_EQ(dynamic_cast<TestRows&>(*rows).rows.size(), 200000u);
  EXPECT_EQ(late::call(probe, "Echo", {Variant("small after large")}), Variant("small after large"));
}

TEST_F(RemoteWireTest, AMalformedMessageClosesTheLinkWith462) {
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"not MessagePack", frame("\xc1")},
      {"truncated", frame("\x93\x01")},
      {"trailing bytes", frame(std::string("\x91\xc0", 2) + "x")},
      {"a map", framedMsgpack(json::object({{"kind", 1}}))},
      {"not a list", framedMsgpack(json(5))},
      {"unknown kind", framedMsgpack(json::array({99, 1}))},
      {"answer of the wrong shape", framedMsgpack(json::array({kReply, 1}))},
      {"answer to a call not made", framedMsgpack(json::array({kReply, 77, nullptr, json::array()}))},
      {"value with an unknown tag", framedMsgpack(json::array({kReply, 1, json::array({4242}), json::array()}))},
      {"Integer out of range", framedMsgpack(json::array({kReply, 1, json::array({2, 70000}), json::array()}))},
      {"Long out of range", framedMsgpack(json::array({kReply, 1, 5000000000LL, json::array()}))},
      {"reference to an object never sent",
       framedMsgpack(json::array({kReply, 1, json::array({kObject, kYours, 12345}), json::array()}))},
      {"release of an object never sent", framedMsgpack(json::array({kRelease, 12345, 1}))},
      {"nesting a hundred thousand deep", frame(std::string(100000, '\x91') + "\xc0")},
      {"frame above the maximum", header(0xFFFFFFFFu) + "x"},
      {"frame header cut short", std::string("\x05\x00", 2)},
  };
  for (const auto& row : rows) {
    RawPeer peer(options(1024 * 1024));
    peer.sendBytes(row.bytes);
    if (std::string(row.name) == "frame header cut short") ::shutdown(peer.fd, SHUT_WR);
    auto error = errorOf([&] { peer.link->createRemote("Remote.Thing"); });
    EXPECT_EQ(error.number(), 462) << row.name;
    EXPECT_FALSE(peer.link->connected()) << row.name;
    EXPECT_FALSE(peer.link->closeReason().empty()) << row.name;
    // The peer sees the link closed.
    EXPECT_TRUE(peer.receive());  // the create
    EXPECT_FALSE(peer.receive(500ms)) << row.name;
  }
}

// A by-value recordset whose bytes nest lists 150000 deep: the process that
// reads it, whichever side, answers an error and both stay up.
TEST_F(RemoteWireTest, ARecordsetNestedTooDeepIsAnErrorOnEitherSideAndTheLinkStays) {
  const std::string deep = std::string(150000, '\x91') + "\xc0";
  auto expectUnreadable = [](const AutomationError& error, const char* side) {
    EXPECT_EQ(error.number(), sql::sqlerr::Failed) << side;
    EXPECT_NE(error.description().find("The recordset data cannot be read"), std::string::npos)
        << side << ": " << error.description();
  };

  // In an answer to this process (the host's side of the bridge).
  RawPeer peer(options());
  peer.send(json::array({kReply, 1, json::array({kObject, kMine, 7, "Remote"}), json::array()}));
  auto remote = peer.link->createRemote("Remote.Thing");
  peer.send(json::array({kReply, 2,
                         json::array({kByValue, sql::Recordset::kByValueType,
                                      json::binary(std::vector<std::uint8_t>(deep.begin(), deep.end()))}),
                         json::array()}));
  expectUnreadable(errorOf([&] { late::call(remote, "Rows"); }), "answer");
  EXPECT_TRUE(peer.link->connected());
  peer.send(json::array({kReply, 3, "still here", json::array()}));
  EXPECT_EQ(late::call(remote, "Ping"), Variant("still here"));

  // In the arguments of a call to the other process (the bridge's side).
  ForkedPeer forked(options());
  auto probe = forked.link->createRemote(kProbeProgId);
  auto hostile = std::make_shared<RawByValue>(sql::Recordset::kByValueType, deep);
  expectUnreadable(errorOf([&] { late::call(probe, "Echo", {Variant(DispatchPtr(hostile))}); }), "call");
  EXPECT_TRUE(forked.link->connected());
  auto rows = sql::Recordset::create({{"CODIGO", sql::DataType::VarWChar}});
  rows->appendRow({Variant("Pão1")});
  auto back =
      std::dynamic_pointer_cast<sql::Recordset>(late::call(probe, "Echo", {Variant(DispatchPtr(rows))}).objectValue());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->value("CODIGO"), Variant("Pão1"));
}

// Object references, for decoding values outside a link: each decodes to
// the same stand-in; a malformed one is the protocol error the link's is.
class StandInReferences : public ObjectMarshal {
 public:
  json encodeReference(const DispatchPtr&) override { return json::array({kObject, kMine, 1, "StandIn"}); }
  DispatchPtr decodeReference(const json& reference) override {
    if (reference.size() != 4) throw ProtocolError("a malformed object reference");
    return object;
  }
  DispatchPtr object = std::make_shared<Probe>("stand-in");
};

// The reader of every message and the value decoder behind it, fed damaged
// and random messages: each is read as values or refused as a protocol
// error or an automation error (a by-value object that cannot be rebuilt).
TEST_F(RemoteWireTest, DamagedMessagesAreReadOrRefusedNeverWorse) {
  StandInReferences references;
  auto rows = sql::Recordset::create({{"CODIGO", sql::DataType::VarWChar}, {"QUANT", sql::DataType::Double}});
  rows->appendRow({Variant("Pão1"), Variant(2.5)});
  const Variant seedValues[] = {
      Variant(makeArray({Variant(std::int16_t{5}), Variant(Date{45000.5}), Variant::null(),
                         Variant(makeArray({Variant("x"), Variant(1.5)}, 1))},
                        0)),
      Variant(DispatchPtr(rows)),
      Variant(DispatchPtr(references.object)),
  };
  std::vector<std::string> seeds;
  for (const auto& v : seedValues) {
    auto bytes = json::to_msgpack(json::array({kReply, 1, VariantCodec::encode(v, references), json::array()}));
    seeds.emplace_back(bytes.begin(), bytes.end());
  }
  std::mt19937 random(462);
  int decoded = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string bytes = seeds[random() % seeds.size()];
    for (int n = 1 + random() % 3; n > 0 && !bytes.empty(); --n) {
      std::size_t at = random() % bytes.size();
      if (random() % 2)
        bytes[at] = static_cast<char>(random());
      else
        bytes.erase(at, 1 + random() % 3);
    }
    auto message = MessagePackReader::read(bytes, {72, false});
    if (!message || !message->is_array() || message->size() < 3) continue;
    try {
      VariantCodec::decode((*message)[2], references);
      ++decoded;
    } catch (const ProtocolError&) {
    } catch (const AutomationError&) {
    }
  }
  EXPECT_GT(decoded, 0);
}

TEST_F(RemoteWireTest, AMessageAboveTheMaximumIsRefusedWithoutClosingTheLink) {
  ForkedPeer peer(options(4096));
  auto probe = peer.link->createRemote(kProbeProgId);
  auto tooBig = errorOf([&] { late::call(probe, "Echo", {Variant(std::string(10000, 'x'))}); });
  EXPECT_EQ(tooBig.number(), 5);
  EXPECT_NE(tooBig.description().find("4096"), std::string::npos);
  // The far side cannot send an answer that large: the caller gets the reason.
  auto answerTooBig = errorOf([&] { late::call(probe, "Repeat", {Variant("abc"), Variant(std::int32_t{5000})}); });
  EXPECT_EQ(answerTooBig.number(), 5);
  EXPECT_EQ(late::call(probe, "Echo", {Variant("small")}), Variant("small"));
  // An object in a refused message is not left exported.
  auto mine = std::make_shared<Probe>("in a big call");
  errorOf([&] { late::call(probe, "Same", {Variant(DispatchPtr(mine)), Variant(std::string(10000, 'x'))}); });
  EXPECT_EQ(peer.link->exportedCount(), 0u);
  EXPECT_TRUE(peer.link->connected());
}

TEST_F(RemoteWireTest, AServerReadingAMalformedMessageEndsAndItsClientSees462) {
  const std::string garbage[] = {frame("\xc1"), header(0xFFFFFFFFu), frame(std::string(100000, '\x91') + "\xc0")};
  for (const auto& bytes : garbage) {
    ForkedPeer peer(options(1024 * 1024), true);
    auto probe = peer.link->createRemote(kProbeProgId);
    ASSERT_EQ(::send(peer.rawDescriptor(), bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
    EXPECT_EQ(peer.exitCode(), 4) << "the server's link failed; it did not crash";
    EXPECT_EQ(errorOf([&] { late::call(probe, "Nothing"); }).number(), 462);
  }
}

}  // namespace
}  // namespace quill::remotetest
