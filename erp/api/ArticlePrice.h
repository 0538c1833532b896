#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "erp/api/LastRefusal.h"
#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

class ApiCompanySession;

// "SageApiNextPlus.Precos": the price of one article in one currency and
// price line (a PRECOS row).
//
// Members:
//   LerPorArtmlin(artigo, moeda, linha) -> 0, or non-zero when there is no such price
//   CodigoDoArtigo, Moeda, LinhaDePreco                 the key
//   PrecoVendaSemIva, PrecoVendaComIva                  current price (PVP, PVPIVA)
//   BaseUtilHistorica, BaseComIva                       previous price (BUTHIST, BASECIVA)
//   DataInicioDoPreco                                   from when the current price applies (DATINIC)
//   DataDeActualizacao                                  last change (DATACT)
//   Validar, Inserir, Alterar -> 0 or non-zero
//   UltimoErro, UltimaMensagem                          the last refusal
// The dates take a Date or a text "dd-mm-yyyy" or "yyyy-mm-dd".
//
// Validar refuses an unknown article or currency, a negative price or
// line, a value that is no date, and a price line without a LINPRC row
// unless the price exists already (rows kept from a line that is no longer
// defined may still be changed). Inserir also refuses a price that exists,
// Alterar one that does not. Validar writes nothing.
class ArticlePrice : public DispatchObject<ArticlePrice> {
 public:
  explicit ArticlePrice(std::shared_ptr<ApiCompanySession> session);

  std::int32_t LerPorArtmlin(std::string_view article, std::string_view currency, std::int32_t line);
  std::int32_t Validar();
  std::int32_t Inserir();
  std::int32_t Alterar();

  static const MemberTable<ArticlePrice>& members();
  std::string className() const override { return "Precos"; }

 private:
  bool started() const;
  bool stored() const;  // a row with the current key exists
  std::optional<ApiRefusal> validate() const;
  std::string describe() const;
  std::int32_t answer(std::string_view operation, std::optional<ApiRefusal> refusal);

  std::shared_ptr<ApiCompanySession> session_;
  std::string article_;
  std::string currency_;
  std::int32_t line_ = 0;
  double price_ = 0;
  double priceWithVat_ = 0;
  double historyPrice_ = 0;
  double historyPriceWithVat_ = 0;
  Variant start_;  // as given; read through ApiDate
  Variant updated_;
  LastRefusal refusal_;
};

}  // namespace quill::erpapi
