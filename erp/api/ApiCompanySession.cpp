#include "erp/api/ApiCompanySession.h"

#include "erp/CompanyDatabase.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

std::shared_ptr<ApiCompanySession> ApiCompanySession::open(const erp::CompanyEntry& company, ApiLog log) {
  auto connection = erp::openCompanyDatabase(company);
  auto rows = connection->query("SELECT LIGACTB, MOEDANAC, RGIVANAC FROM PARAMETROS ORDER BY CODIGO");
  if (rows->eof())
    throw AutomationError(vberr::FileNotFound, "SageApiNextPlus.Api",
                          "A empresa " + company.code + " não tem parâmetros.");
  Parameters parameters;
  parameters.linkedToAccounting = sql::fieldLong(*rows, "LIGACTB") == -1;
  parameters.nationalCurrency = sql::fieldText(*rows, "MOEDANAC");
  parameters.nationalVatRegime = sql::fieldText(*rows, "RGIVANAC");
  return std::make_shared<ApiCompanySession>(std::move(connection), company, std::move(log), std::move(parameters));
}

ApiCompanySession::ApiCompanySession(std::shared_ptr<sql::Connection> connection, erp::CompanyEntry company, ApiLog log,
                                     Parameters parameters)
    : connection_(std::move(connection)),
      company_(std::move(company)),
      log_(std::move(log)),
      parameters_(std::move(parameters)) {}

ApiCompanySession::~ApiCompanySession() { close(); }

void ApiCompanySession::close() noexcept {
  if (!connection_) return;
  try {
    connection_->close();
  } catch (...) {
  }
  connection_.reset();
}

std::shared_ptr<sql::Recordset> ApiCompanySession::query(std::string_view sql,
                                                         const std::vector<Variant>& parameters) const {
  return connection_->query(sql, parameters);
}

bool ApiCompanySession::exists(std::string_view sql, const Variant& key) const {
  return !connection_->query(sql, {key})->eof();
}

bool ApiCompanySession::articleExists(std::string_view code) const {
  return exists("SELECT 1 FROM ARTIGOS WHERE CODIGO = ?", Variant(code));
}

bool ApiCompanySession::currencyExists(std::string_view code) const {
  return exists("SELECT 1 FROM MOEDAS WHERE CODIGO = ?", Variant(code));
}

bool ApiCompanySession::clientExists(std::string_view code) const {
  return exists("SELECT 1 FROM CLIENTES WHERE CODIGO = ?", Variant(code));
}

bool ApiCompanySession::priceLineExists(int line) const {
  return exists("SELECT 1 FROM LINPRC WHERE LINHA = ?", Variant(std::int32_t{line}));
}

double ApiCompanySession::nationalVatRate(int vatIndex) const {
  if (vatIndex < 1 || vatIndex > 4) return 0.0;
  auto rows = connection_->query("SELECT TX1, TX2, TX3, TX4 FROM RGIVA WHERE CODIGO = ?",
                                 {Variant(parameters_.nationalVatRegime)});
  if (rows->eof()) return 0.0;
  return sql::doubleOrZero(rows->value(static_cast<std::size_t>(vatIndex - 1)));
}

}  // namespace quill::erpapi
