#pragma once

#include <fstream>
#include <optional>
#include <string>

#include "platform/sql/ServerAddress.h"

namespace quill::sql::testing {

// The backends a test runs on: the embedded database and the server.
enum class Backend { Embedded, Server };

// Names a parameterized test by its backend (from GoogleTest's TestParamInfo).
struct BackendName {
  template <typename ParamInfo>
  std::string operator()(const ParamInfo& info) const {
    return info.param == Backend::Embedded ? "Embedded" : "Server";
  }
};
inline constexpr BackendName backendName{};

// The test server that scripts/test-server.sh started for this build, read
// from the connection string it left beside the programs' folder; nothing
// when no server runs (its tests skip).
inline std::optional<ServerAddress> testServer() {
  std::ifstream in("../test-server.txt");
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  auto value = [&](const std::string& key) {
    auto at = line.find(key + "=");
    if (at == std::string::npos) return std::string();
    at += key.size() + 1;
    return line.substr(at, line.find(';', at) - at);
  };
  auto address = ServerAddress::fromDataSource(value("Data Source"));
  if (!address) return std::nullopt;
  address->database = value("Initial Catalog");
  address->user = value("User ID");
  address->password = value("Password");
  return address;
}

}  // namespace quill::sql::testing
