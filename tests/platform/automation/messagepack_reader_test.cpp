// The bounded MessagePack reader: what bytes from another process may and
// may not make it build, and that no bytes at all can bring it down.
#include <gtest/gtest.h>

#include <random>

#include "platform/automation/MessagePackReader.h"

namespace quill {
namespace {

using json = nlohmann::json;

std::string bytesOf(const json& j) {
  auto v = json::to_msgpack(j);
  return std::string(v.begin(), v.end());
}

// `depth` arrays of one element, the innermost holding nil; maps with key
// "k" when asked.
std::string nested(std::size_t depth, bool maps = false) {
  std::string out;
  for (std::size_t i = 0; i < depth; ++i) out += maps ? std::string("\x81\xa1k", 3) : std::string("\x91");
  return out + "\xc0";
}

TEST(MessagePackReader, ReadsWhatTheLimitsAllowAndSaysWhyItRefusesTheRest) {
  const json document = {{"rows", json::array({json::array({1, "Pão1", 2.5, nullptr, true})})}, {"n", -3}};
  struct Case {
    const char* name;
    std::string bytes;
    MessagePackReader::Limits limits;
    const char* why;  // nullptr: read
  } cases[] = {
      {"a map within the limits", bytesOf(document), {8, true}, nullptr},
      {"lists at the depth limit", nested(32), {32, false}, nullptr},
      {"lists one deeper than the limit", nested(33), {32, false}, "nested deeper"},
      {"150000 lists", nested(150000), {32, false}, "nested deeper"},
      {"150000 maps", nested(150000, true), {8, true}, "nested deeper"},
      {"a map where lists only are read", bytesOf(document), {8, false}, "a map"},
      {"a list announcing four billion elements",
       std::string("\xdd\xff\xff\xff\xff\xc0", 6),
       {8, false},
       "longer than its bytes"},
      {"a map announcing four billion entries",
       std::string("\xdf\xff\xff\xff\xff\xa1k\xc0", 8),
       {8, true},
       "longer than its bytes"},
      {"a text announcing four gigabytes", std::string("\xdb\xff\xff\xff\xff" "abc", 8), {8, false}, "not well-formed"},
      {"a map key that is not text", std::string("\x81\x01\x02", 3), {8, true}, "not well-formed"},
      {"trailing bytes", bytesOf(json::array({1})) + "x", {8, false}, "not well-formed"},
      {"nothing", "", {8, false}, "not well-formed"},
      {"a byte no document starts with", "\xc1", {8, false}, "not well-formed"},
  };
  for (const auto& c : cases) {
    std::string why;
    auto read = MessagePackReader::read(c.bytes, c.limits, &why);
    if (!c.why) {
      ASSERT_TRUE(read) << c.name << ": " << why;
      EXPECT_EQ(*read, json::from_msgpack(c.bytes)) << c.name;
    } else {
      EXPECT_FALSE(read) << c.name;
      EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
    }
  }
}

// Random damage to valid documents and random bytes: every outcome is a
// value within the limits or a refusal.
TEST(MessagePackReader, SurvivesDamagedAndRandomBytes) {
  const std::string seeds[] = {
      bytesOf(json::array({0, 7, 3, "Member", 1, json::array({json::array({8192, 1, json::array({1, 2})})})})),
      bytesOf({{"format", 1}, {"rows", json::array({{{"v", json::array({json::array({8, "x"})})}}})}}),
      nested(40),
      nested(40, true),
  };
  std::mt19937 random(16);
  auto depthOf = [](const json& j) {
    // Iterative, as the documents under test may be deep.
    int deepest = 0;
    std::vector<std::pair<const json*, int>> todo{{&j, 0}};
    while (!todo.empty()) {
      auto [node, depth] = todo.back();
      todo.pop_back();
      if (!node->is_structured()) continue;
      deepest = std::max(deepest, depth + 1);
      for (const auto& child : *node) todo.emplace_back(&child, depth + 1);
    }
    return deepest;
  };
  int read = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string bytes;
    if (i % 5 == 4) {
      bytes.resize(random() % 64);
      for (char& b : bytes) b = static_cast<char>(random());
    } else {
      bytes = seeds[random() % std::size(seeds)];
      for (int n = 1 + random() % 4; n > 0 && !bytes.empty(); --n) {
        std::size_t at = random() % bytes.size();
        switch (random() % 3) {
          case 0:
            bytes[at] = static_cast<char>(random());
            break;
          case 1:
            bytes.erase(at, 1 + random() % 3);
            break;
          default:
            bytes.insert(at, 1, static_cast<char>(0x90 + random() % 16));
        }
      }
    }
    const MessagePackReader::Limits limits{16, i % 2 == 0};
    auto value = MessagePackReader::read(bytes, limits);
    if (!value) continue;
    ++read;
    EXPECT_LE(depthOf(*value), limits.maxDepth);
  }
  EXPECT_GT(read, 0) << "some damage leaves a valid document";
}

}  // namespace
}  // namespace quill
