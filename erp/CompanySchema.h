#pragma once

#include <string_view>
#include <vector>

namespace quill::sql {
class Database;
}

namespace quill::erp {

// The ERP's company database: its own tables, the user-field tables that
// extend them, and the indexes on every lookup path the extension uses.
//
// Conventions: every text column compares without regard to case (codes are
// typed in any case, as on the original server); dates are stored as
// "yyyy-mm-dd hh:mm:ss" text in columns declared DATETIME; flags are integers
// -1 (true) and 0 (false); prices, rates and quantities are REAL.
//
// Line types of DOCGCLIN.TIPOLIN (the API's TipoDeLinha): 1 an article line,
// 2 a comment line (description only), 3 a service line that the API adds for
// values such as the freight allowance.
//
// Document classification (TIPOSDOC and DOCGCCAB): AREAG 4 sales, TPTERC 2
// clients, TPOPER 2 a sale, NATCONTA 1 posted to the client's account (0 not
// posted, e.g. orders), TIPIFSTK 1 goods come back into stock, 2 goods leave
// stock, 0 no stock movement; SINALCT 1 debits the client's account, 2 credits
// it; NVIAS -1 marks a cancelled document. An invoice is 4/2/2/1/2 with
// SINALCT 1, a credit note 4/2/2/1/1 with SINALCT 2, an order 4/2/1/0/0.
class CompanySchema {
 public:
  // Creates every ERP table (without secondary indexes) in an empty database.
  static void createTables(sql::Database& db);
  // Creates the secondary indexes; run after a bulk load.
  static void createIndexes(sql::Database& db);
  // Tables and indexes at once, for an empty company.
  static void create(sql::Database& db);

  // The names of the ERP tables this schema creates.
  static const std::vector<std::string_view>& tableNames();
};

// Line types of DOCGCLIN.TIPOLIN.
inline constexpr int kLineTypeArticle = 1;
inline constexpr int kLineTypeComment = 2;
inline constexpr int kLineTypeService = 3;

}  // namespace quill::erp
