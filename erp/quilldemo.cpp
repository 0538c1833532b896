// quilldemo: creates (or reuses) the demo company in an ERP installation
// folder and says where it is.
//
//   quilldemo --erp <folder> [--size demo|large] [--company CODE] [--seed N] [--force]
//             [--server HOST[:PORT]|dsn:NAME --db-user USER --db-password PASSWORD]

#include <fmt/format.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "erp/CompanyDatabase.h"
#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "erp/DemoOptions.h"
#include "platform/automation/AutomationError.h"

namespace {

int usage(std::string_view problem) {
  if (!problem.empty()) fmt::print(stderr, "quilldemo: {}\n", problem);
  fmt::print(stderr,
             "usage: quilldemo --erp <folder> [--size demo|large] [--company CODE] [--seed N] [--force]\n"
             "                 [--server HOST[:PORT]|dsn:NAME --db-user USER --db-password PASSWORD]\n"
             "  Creates the demo company in the ERP installation folder, or reuses it when it was\n"
             "  generated already with the same size and seed (--force always creates it again).\n"
             "  With --server the company's database is put on that PostgreSQL server (the login\n"
             "  must be allowed to create databases) and registered there.\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quill::erp;
  std::string folder;
  DemoOptions options;
  bool force = false;
  std::optional<DemoCompany::Server> server;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--erp") {
      auto v = value();
      if (!v) return usage("--erp needs a folder");
      folder = v;
    } else if (arg == "--size") {
      auto v = value();
      if (!v || !parseDemoSize(v, options.size)) return usage("--size is demo or large");
    } else if (arg == "--company") {
      auto v = value();
      if (!v || !*v) return usage("--company needs a code");
      options.companyCode = v;
      if (options.companyCode != demo::kCompanyCode) options.companyName = fmt::format("Demonstração {}", v);
    } else if (arg == "--seed") {
      auto v = value();
      try {
        std::size_t used = 0;
        options.seed = std::stoull(v ? v : "", &used);
        if (used != std::string_view(v).size()) throw std::invalid_argument("seed");
      } catch (const std::exception&) {
        return usage("--seed needs a whole number");
      }
    } else if (arg == "--server" || arg == "--db-user" || arg == "--db-password") {
      auto v = value();
      if (!v) return usage(fmt::format("{} needs a value", arg));
      if (!server) server.emplace();
      (arg == "--server" ? server->dataSource : arg == "--db-user" ? server->user : server->password) = v;
    } else if (arg == "--force") {
      force = true;
    } else if (arg == "--help" || arg == "-h") {
      return usage("");
    } else {
      return usage(fmt::format("unknown argument \"{}\"", arg));
    }
  }
  if (folder.empty()) return usage("--erp is required");
  if (server && server->dataSource.empty()) return usage("--db-user and --db-password go with --server");

  auto started = std::chrono::steady_clock::now();
  options.progress = [&](std::string_view step) {
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    fmt::print("{:7.2f}s  {}\n", seconds, step);
    std::fflush(stdout);
  };
  try {
    bool reused = false;
    auto company = server  ? DemoCompany::ensureOnServer(folder, options, *server, force, &reused)
                   : force ? DemoCompany::create(folder, options)
                           : DemoCompany::ensure(folder, options, &reused);
    auto info = DemoCompany::readInfo(company);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    fmt::print("{} company {} ({}) in {:.2f}s\n", reused ? "Reused" : "Created", company.code, company.name, seconds);
    fmt::print("  installation folder:  {}\n", folder);
    fmt::print("  database (Servidor):  {}\n", company.dataSource());
    fmt::print("  database (BaseDados): {}\n", company.databaseName);
    fmt::print("  database:             {}\n", describeCompanyDatabase(company));
    fmt::print("  login / password:     {} / {}\n", demo::kLogin, demo::kPassword);
    if (info)
      fmt::print("  size {}: {} articles, {} clients, {} document lines\n", demoSizeName(info->size), info->articles,
                 info->clients, info->documentLines);
    return 0;
  } catch (const quill::AutomationError& e) {
    fmt::print(stderr, "quilldemo: {}\n", e.description());
  } catch (const std::exception& e) {
    fmt::print(stderr, "quilldemo: {}\n", e.what());
  }
  return 1;
}
