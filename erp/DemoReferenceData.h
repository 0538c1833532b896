#pragma once

namespace quill::erp {

class SqliteDatabase;
class DemoRandom;
struct DemoModel;

// The demo company's reference tables: parameters, currencies, VAT regimes,
// units, product groups, zones, portfolios, sellers, price lines, document
// types and series, dispatch codes and their user fields.
class DemoReferenceData {
 public:
  static void write(SqliteDatabase& db, DemoModel& model, DemoRandom& random);
};

}  // namespace quill::erp
