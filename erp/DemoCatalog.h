#pragma once

namespace quill::sql {
class Database;
}

namespace quill::erp {
class DemoRandom;
struct DemoModel;

// The demo company's articles and their prices: ARTIGOS and U_ARTIGOS, the
// price-line prices (PRECOS) of the fixed-price articles, and the scheduled
// retail prices (U_QOR_PRECOS).
class DemoCatalog {
 public:
  static void build(DemoModel& model, DemoRandom& random);
  static void write(sql::Database& db, const DemoModel& model);
};

}  // namespace quill::erp
