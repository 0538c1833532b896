#include "bench/erp/BenchCompany.h"

#include <fmt/format.h>

#include <chrono>
#include <cstdio>

#include "erp/DemoCompany.h"

namespace quill::bench {

namespace {

BenchCompany prepare() {
  auto folder = std::filesystem::temp_directory_path() /
                fmt::format("quill-bench-large-v{}", erp::DemoCompany::kGeneratorVersion);
  erp::DemoOptions options;
  options.size = erp::DemoSize::Large;
  auto started = std::chrono::steady_clock::now();
  options.progress = [&, first = true](std::string_view step) mutable {
    if (first) fmt::print(stderr, "Generating the large benchmark company in {} ...\n", folder.string());
    first = false;
  };
  bool reused = false;
  auto company = erp::DemoCompany::ensure(folder, options, &reused);
  if (!reused)
    fmt::print(stderr, "Generated the large benchmark company in {:.1f} s\n",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  return BenchCompany{folder, company.dataFolder, company.databaseName, company.databaseFile(), company.code, {}, {},
                      {}};
}

}  // namespace

const BenchCompany& largeCompany() {
  static const BenchCompany company = prepare();
  return company;
}

}  // namespace quill::bench
