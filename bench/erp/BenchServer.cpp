#include "bench/erp/BenchServer.h"

#include <fmt/format.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "erp/DemoCompany.h"
#include "erp/ServerCompany.h"
#include "extension/components/ConnectionString.h"
#include "platform/sql/Connection.h"

namespace quill::bench {

namespace fs = std::filesystem;

namespace {

std::string& problem() {
  static std::string text;
  return text;
}

// A value for the shell, in single quotes.
std::string shellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string lastLines(const fs::path& file) {
  std::ifstream in(file);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last += (last.empty() ? "" : "; ") + line;
  return last;
}

std::optional<sql::ServerAddress> startServer() {
  const fs::path folder = QUILL_BENCH_SERVER_FOLDER;
  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path info = folder / "test-server.txt";
  const fs::path log = folder / "start.log";
  // Starts the cluster, or finds the one an earlier run left running; a
  // connection string left by a server that has gone since is written again.
  const std::string command = fmt::format("{} start {} >{} 2>&1", shellQuoted(QUILL_SERVER_SCRIPT),
                                          shellQuoted(folder.string()), shellQuoted(log.string()));
  const int status = std::system(command.c_str());
  std::ifstream in(info);
  std::string text;
  if (status != 0 || !in || !std::getline(in, text)) {
    problem() = "no database server for the server cases: " + lastLines(log);
    return std::nullopt;
  }
  std::string error;
  auto parsed = ConnectionString::parse(text, error);
  auto address = parsed ? sql::ServerAddress::fromDataSource(parsed->value("Data Source")) : std::nullopt;
  if (!address) {
    problem() = fmt::format("the server's connection string in {} cannot be read: {}", info.string(), text);
    return std::nullopt;
  }
  address->database = parsed->value("Initial Catalog");
  address->user = parsed->value("User ID");
  address->password = parsed->value("Password");
  return address;
}

BenchCompany prepareOnServer(const sql::ServerAddress& server) {
  auto folder =
      fs::temp_directory_path() / fmt::format("quill-bench-large-server-v{}", erp::DemoCompany::kGeneratorVersion);
  erp::DemoOptions options;
  options.size = erp::DemoSize::Large;
  auto started = std::chrono::steady_clock::now();
  options.progress = [&, first = true](std::string_view step) mutable {
    if (first) fmt::print(stderr, "Putting the large benchmark company on the server {} ...\n", server.describe());
    first = false;
    fmt::print(stderr, "  {:6.1f} s  {}\n",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), step);
  };
  const std::string dataSource = fmt::format("{}:{}", server.host, server.port);
  bool reused = false;
  auto company =
      erp::DemoCompany::ensureOnServer(folder, options, {dataSource, server.user, server.password}, false, &reused);
  if (!reused)
    fmt::print(stderr, "Put the large benchmark company on the server in {:.1f} s\n",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  return BenchCompany{folder,       company.dataFolder, company.databaseName, {},
                      company.code, company.server,     company.serverUser,   company.serverPassword};
}

}  // namespace

const std::optional<sql::ServerAddress>& benchServer() {
  static const std::optional<sql::ServerAddress> server = startServer();
  return server;
}

const std::string& serverProblem() { return problem(); }

const BenchCompany* largeCompanyOnServer() {
  static const std::optional<BenchCompany> company = []() -> std::optional<BenchCompany> {
    if (!benchServer()) return std::nullopt;
    try {
      return prepareOnServer(*benchServer());
    } catch (const std::exception& error) {
      problem() = std::string("the large company could not be put on the server: ") + error.what();
      return std::nullopt;
    }
  }();
  return company ? &*company : nullptr;
}

const BenchCompany* largeCompanyOn(Backend backend) {
  return backend == Backend::Embedded ? &largeCompany() : largeCompanyOnServer();
}

const BenchCompany* companyFor(benchmark::State& state, Backend backend) {
  const BenchCompany* company = largeCompanyOn(backend);
  if (!company) state.SkipWithError(serverProblem().c_str());
  return company;
}

std::string casesToRun() {
  if (largeCompanyOnServer()) return {};
  fmt::print(stderr, "Only the embedded cases run: {}\n", serverProblem());
  return "-(/Server|_BareOdbc)";
}

sql::ServerAddress serverAddressOf(const BenchCompany& company) {
  auto address = sql::ServerAddress::fromDataSource(company.server).value_or(sql::ServerAddress{});
  address.database = company.databaseName;
  address.user = company.user;
  address.password = company.password;
  return address;
}

std::optional<BenchCompany> serverCopyOfLarge(const std::string& databaseName) {
  const BenchCompany* large = largeCompanyOnServer();
  if (!large) return std::nullopt;
  BenchCompany copy = *large;
  copy.databaseName = databaseName;
  try {
    auto admin = sql::Connection::open(erp::ServerCompany::maintenanceDatabase(serverAddressOf(*large)));
    admin->execute(fmt::format("DROP DATABASE IF EXISTS {} WITH (FORCE)", databaseName));
    // A file copy of the large company's database, instead of writing its
    // pages anew into the server's log.
    admin->execute(fmt::format("CREATE DATABASE {} TEMPLATE {} STRATEGY FILE_COPY", databaseName, large->databaseName));
    return copy;
  } catch (const std::exception& error) {
    problem() =
        fmt::format("the copy {} of the large company could not be made on the server: {}", databaseName, error.what());
    fmt::print(stderr, "{}\n", problem());
    return std::nullopt;
  }
}

void dropServerCopy(const BenchCompany& copy) noexcept {
  try {
    erp::ServerCompany::drop(serverAddressOf(copy));
  } catch (const std::exception& error) {
    fmt::print(stderr, "the copy {} of the large company stays on the server: {}\n", copy.databaseName, error.what());
  }
}

}  // namespace quill::bench
