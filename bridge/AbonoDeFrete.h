#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/automation/Variant.h"

namespace quill {

class SageNextApi;

// The arguments of SageNextApi.AbonoDeFrete: the document's type, number,
// series and year, the client's allowance per tonne and the allowance
// article.
struct AbonoDeFretePedido {
  std::string sFtDoc;
  std::int32_t lFtFum = 0;
  std::int16_t iFtSerie = 0;
  std::int16_t iFtAno = 0;
  double dValorAbono = 0;
  std::string sArtAbono;

  // From the six by-reference arguments of the call, which are only read.
  static AbonoDeFretePedido from(std::span<const Variant> args);
};

// Adds or corrects the freight-allowance line of a saved sales document
// through the ERP API: one line of the allowance article, quantity 1, whose
// unit price is the weight of the document's article lines in tonnes times
// the allowance per tonne. A document that may no longer be changed is left
// as it is. Every step is logged under "DAL AbonoDeFrete ".
//
// Any failure (the ERP API's, the article query's, or the API refusing the
// document) is raised to the caller with its number and description and the
// source "Processa Abono de Frete"; nothing is written then, as the
// document's Alterar is the only step that writes.
class ProcessaAbonoDeFrete {
 public:
  explicit ProcessaAbonoDeFrete(SageNextApi& api) : api_(api) {}

  void run(const AbonoDeFretePedido& pedido);

 private:
  SageNextApi& api_;
};

}  // namespace quill
