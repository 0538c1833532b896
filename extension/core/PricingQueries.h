#pragma once

#include <functional>
#include <memory>
#include <string>

#include "extension/core/PricingRecords.h"

namespace quill {

class DataAccess;
namespace sql {
class Recordset;
}

// The pricing queries against the company database, through the data-access
// object. Like the system's own query routines they keep their failures to
// themselves: a failing query reads as no row.
class PricingQueries : public PricingSource {
 public:
  explicit PricingQueries(DataAccess& dataAccess) : dataAccess_([&dataAccess] { return &dataAccess; }) {}
  // Over whatever data-access object the owner holds at the time of each
  // query; none (after the database was closed) reads as no row.
  explicit PricingQueries(std::function<DataAccess*()> dataAccess) : dataAccess_(std::move(dataAccess)) {}

  std::optional<ArtigoRecord> artigo(std::string_view codigo) override;
  std::optional<ClienteRecord> cliente(std::string_view codigo) override;
  std::optional<PrecoDaLinha> precoDaLinha(std::string_view artigo, std::string_view moeda,
                                           std::int32_t linha) override;
  std::optional<double> descontoDoGrupo(std::string_view grupo, std::string_view cliente) override;
  std::optional<PrecoAgendado> precoAgendado(std::string_view artigo) override;

  // The article record (ARTIGOS with U_ARTIGOS) as a recordset, or nothing.
  std::shared_ptr<sql::Recordset> artigoRecordset(std::string_view codigo);

 private:
  std::shared_ptr<sql::Recordset> open(const std::string& statement);

  std::function<DataAccess*()> dataAccess_;
};

}  // namespace quill
