#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill {

// What pricing reads of an article (ARTIGOS joined with U_ARTIGOS).
struct ArtigoRecord {
  std::string codigo;
  std::int32_t artOuDes = 0;  // not 0: a description-only line, never priced
  std::string grupo;
  std::string unvnd;  // sale unit: every stored price is per sale unit
  std::string unemb;  // packing unit and how many sale units it holds
  double factemb = 0;
  std::string untrans;  // transport unit and how many sale units it holds
  double facttra = 0;
  double pvpsiva = 0;     // first retail price without VAT
  double pvalsiva = 0;    // second
  double pvp3SemIva = 0;  // third
  bool precoFixo = false;  // priced from the client's price line, no manual discount
};

// What pricing reads of a client (CLIENTES joined with U_CLIENTES).
struct ClienteRecord {
  std::string codigo;
  std::int32_t tppreco = 0;  // price line; 0 means none
  std::int32_t tppre = 0;    // retail level: 0 first, 1 second, 2 third, other first
  double dscValPorKg = 0;    // discount per sale unit (kg); 0 means none
  std::string descComp;      // compound discount, e.g. "10+5"
};

// A price of a price line (PRECOS): the current price applies to documents
// dated from DATINIC on, the previous one to earlier documents.
struct PrecoDaLinha {
  Date datinic;
  double pvp = 0;
  double buthist = 0;
};

// A scheduled retail price row (U_QOR_PRECOS): the three levels without VAT,
// current from the activation date on, and as they were before.
struct PrecoAgendado {
  Date dataActivacao;
  std::array<double, 3> pvpSiva{};
  std::array<double, 3> hpvpSiva{};
};

// The queries pricing makes. Each answers nothing when there is no row; a
// failing query also answers nothing (pricing then leaves the line alone).
class PricingSource {
 public:
  virtual ~PricingSource() = default;
  virtual std::optional<ArtigoRecord> artigo(std::string_view codigo) = 0;
  virtual std::optional<ClienteRecord> cliente(std::string_view codigo) = 0;
  virtual std::optional<PrecoDaLinha> precoDaLinha(std::string_view artigo, std::string_view moeda,
                                                   std::int32_t linha) = 0;
  // The client's discount for a product group (the first row's DESCONTO).
  virtual std::optional<double> descontoDoGrupo(std::string_view grupo, std::string_view cliente) = 0;
  virtual std::optional<PrecoAgendado> precoAgendado(std::string_view artigo) = 0;
};

}  // namespace quill
