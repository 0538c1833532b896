#pragma once

namespace quill::sql {
class Database;
}

namespace quill::erp {
class DemoRandom;
struct DemoModel;

// The demo company's clients with their user fields and group discounts
// (U_QOR_GRUPOSDESCONTO), and the sellers' commission rates per group
// (U_QOR_COMGRUPOS).
class DemoCustomers {
 public:
  static void build(DemoModel& model, DemoRandom& random);
  static void write(sql::Database& db, const DemoModel& model, DemoRandom& random);
};

}  // namespace quill::erp
