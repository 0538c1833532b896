#pragma once

namespace quill::erp {

class SqliteDatabase;
class DemoRandom;
struct DemoModel;

// The demo company's clients with their user fields and group discounts
// (U_QOR_GRUPOSDESCONTO), and the sellers' commission rates per group
// (U_QOR_COMGRUPOS).
class DemoCustomers {
 public:
  static void build(DemoModel& model, DemoRandom& random);
  static void write(SqliteDatabase& db, const DemoModel& model, DemoRandom& random);
};

}  // namespace quill::erp
