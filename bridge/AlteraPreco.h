#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/automation/Variant.h"

namespace quill {

class SageNextApi;

// The arguments of SageNextApi.AlteraPreco. The previous start date and the
// previous prices are accepted and not used.
struct AlteraPrecoPedido {
  std::string sArtigo;
  std::string sMoedaIn;     // the currency, possibly behind kDateOnlyMarker
  std::int32_t lLinha = 0;  // the price line; negative: remove the price of line -lLinha
  Date dDataIni;
  Date dDataIniOri;
  double dPvp = 0;
  double dPvpOri = 0;
  double dPvpComIva = 0;
  double dPvpComIvaOri = 0;

  static AlteraPrecoPedido from(std::span<const Variant> args);
};

// Writes one price of one article in one price line through the ERP API's
// price object, so that the ERP keeps its rules and history:
// - a price that exists is changed, its current prices becoming the history
//   (BaseUtilHistorica, BaseComIva), with the new start date and today as
//   update date;
// - a missing one is inserted, without history or update date;
// - a negative line removes the price of that line, when it exists (the ERP
//   API has no removal: a statement does it);
// - with the date-only marker, an existing price gets only a new start date
//   and update date; nothing is inserted or removed.
// The API's refusal, and any other failure, is raised with its number and
// description and the source "Altera Preço"; a refused price is not written.
class ProcessaAlteraPreco {
 public:
  explicit ProcessaAlteraPreco(SageNextApi& api) : api_(api) {}

  void run(const AlteraPrecoPedido& pedido);

 private:
  // Whether PRECOS has the price; raised again as "PrecoArtigoNaLinha".
  bool PrecoArtigoNaLinha(const std::string& artigo, const std::string& moeda, std::int32_t linha);
  // Removes the price; raised again as "PrecoArtigoNaLinhaRemove".
  void PrecoArtigoNaLinhaRemove(const std::string& artigo, const std::string& moeda, std::int32_t linha);

  SageNextApi& api_;
};

}  // namespace quill
