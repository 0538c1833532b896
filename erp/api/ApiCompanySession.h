#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "erp/CompanyEntry.h"
#include "erp/api/ApiLog.h"
#include "platform/automation/Variant.h"

namespace quill::sql {
class Connection;
class Recordset;
}  // namespace quill::sql

namespace quill::erpapi {

// The company the API was started on: its own connection to the company
// database, the company's parameters and the lookups every API object
// validates with. The root object and every object it created share it;
// terminating the API closes it, and objects still held then answer that the
// API is not started.
class ApiCompanySession {
 public:
  struct Parameters {
    bool linkedToAccounting = false;  // PARAMETROS.LIGACTB = -1
    std::string nationalCurrency;     // MOEDANAC
    std::string nationalVatRegime;    // RGIVANAC
  };

  // Opens the company's database and reads its parameters; AutomationError
  // when the database cannot be opened or has no parameters.
  static std::shared_ptr<ApiCompanySession> open(const erp::CompanyEntry& company, ApiLog log);

  ApiCompanySession(std::shared_ptr<sql::Connection> connection, erp::CompanyEntry company, ApiLog log,
                    Parameters parameters);
  ~ApiCompanySession();
  ApiCompanySession(const ApiCompanySession&) = delete;
  ApiCompanySession& operator=(const ApiCompanySession&) = delete;

  bool isOpen() const { return connection_ != nullptr; }
  void close() noexcept;

  // Only while open.
  sql::Connection& connection() const { return *connection_; }
  const Parameters& parameters() const { return parameters_; }
  const erp::CompanyEntry& company() const { return company_; }
  const ApiLog& log() const { return log_; }

  // Rows of one query with "?" parameters.
  std::shared_ptr<sql::Recordset> query(std::string_view sql, const std::vector<Variant>& parameters) const;

  bool articleExists(std::string_view code) const;
  bool currencyExists(std::string_view code) const;
  bool clientExists(std::string_view code) const;
  bool priceLineExists(int line) const;
  // The rate in percent of VAT index 1 to 4 in the national regime; 0 for
  // any other index or a missing regime.
  double nationalVatRate(int vatIndex) const;

 private:
  bool exists(std::string_view sql, const Variant& key) const;

  std::shared_ptr<sql::Connection> connection_;
  erp::CompanyEntry company_;
  ApiLog log_;
  Parameters parameters_;
};

}  // namespace quill::erpapi
