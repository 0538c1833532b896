#pragma once

#include <string>
#include <vector>

namespace quill::erp::test {

// Every SQL statement the system sends to the company database, written as
// the system writes it (the same fragments, blanks included), with its codes
// filled in from the demo company, and what running it on the demo company
// gives.
struct SystemStatement {
  enum class Expect {
    Rows,    // a query that finds rows
    NoRows,  // a query that finds none
    Runs,    // a statement that changes the database
  };
  std::string name;  // the routine that issues it, and the case
  std::string text;
  Expect expect;
};

const std::vector<SystemStatement>& systemStatements();

// The creation of the monthly commission table, which the commission window
// runs itself when the table is missing. The statements of the table expect
// it to exist with one row for March of the documents' year.
std::string createMonthlyCommissionsStatement();
// Its existence probe.
std::string monthlyCommissionsProbe();
// The seeding of the scheduled retail prices.
std::string seedScheduledPricesStatement();
// The commission bases of a month.
std::string commissionBasesStatement(int year, int month);

}  // namespace quill::erp::test
