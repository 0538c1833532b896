#pragma once

namespace quill::sql {
class Database;
}

namespace quill::erp {
class DemoRandom;
struct DemoModel;

// The demo company's sales documents (DOCGCCAB, DOCGCLIN): the well-known
// documents of DemoCodes.h, then invoices, credit notes and orders over the
// period, priced by the same rules the extension applies, until the line
// count of the size is reached.
class DemoSales {
 public:
  static void write(sql::Database& db, const DemoModel& model, DemoRandom& random);
};

}  // namespace quill::erp
