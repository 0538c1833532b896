#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "erp/DemoCodes.h"

namespace quill::erp {

// How big a demo company is: a small realistic distributor, or the large
// company the benchmarks run on.
enum class DemoSize { Demo, Large };

std::string_view demoSizeName(DemoSize size);
// "demo" or "large" (any case); false for anything else.
bool parseDemoSize(std::string_view text, DemoSize& size);

// Row counts of a demo size. Totals include the well-known rows of DemoCodes.h.
struct DemoScale {
  int articles = 0;
  int clients = 0;
  int documentLines = 0;
  int generatedSellers = 0;  // besides the well-known ones
  int priceLines = 0;        // defined price lines 1..n
  int firstDocumentYear = 0;
  int firstDocumentMonth = 0;

  static DemoScale of(DemoSize size);
};

struct DemoOptions {
  static constexpr std::uint64_t kDefaultSeed = 20260105;

  DemoSize size = DemoSize::Demo;
  std::uint64_t seed = kDefaultSeed;
  std::string companyCode = std::string(demo::kCompanyCode);
  std::string companyName = std::string(demo::kCompanyName);
  // Empty: kDatabaseName for the demo company code, else "QUILL" + the code.
  std::string databaseName;
  // Told the name of each step as it starts. It may throw to abandon the
  // generation; the company then stays as it was.
  std::function<void(std::string_view step)> progress;

  std::string effectiveDatabaseName() const;
};

}  // namespace quill::erp
