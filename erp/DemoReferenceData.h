#pragma once

namespace quill::sql {
class Database;
}

namespace quill::erp {
class DemoRandom;
struct DemoModel;

// The demo company's reference tables: parameters, currencies, VAT regimes,
// units, product groups, zones, portfolios, sellers, price lines, document
// types and series, dispatch codes and their user fields.
class DemoReferenceData {
 public:
  static void write(sql::Database& db, DemoModel& model, DemoRandom& random);
};

}  // namespace quill::erp
