#pragma once

#include <optional>
#include <string_view>

#include "extension/core/PricingRecords.h"

namespace quill {

// The pricing rule that governs an article for a client.
enum RegraCodigo : int {
  kRegraRetalho = 0,        // the article's own retail price
  kRegraLinhaDePrecos = 1,  // fixed-price article, client with a price line
  kRegraDescontoGrupo = 2,  // retail price less the client's group discount
  kRegraDescontoKg = 3,     // retail price less the client's discount per kg
  kRegraPrecoAgendado = 4,  // the scheduled retail price
  kRegraNenhuma = 5,        // nothing applies: the line is left alone
};

// The outcome of rule selection and the rows it read on the way.
struct RegraDoArtigo {
  int codigo = kRegraNenhuma;
  std::optional<ArtigoRecord> artigo;
  std::optional<ClienteRecord> cliente;
  std::optional<PrecoDaLinha> precoDaLinha;  // rule 1: the client's price row, if there is one
  double descontoGrupo = 0;                  // rule 2: the group discount per sale unit
};

// A rule's price with the discount it gives, as a percentage and a value.
struct DescontoDaRegra {
  double preco = 0;
  double percentagem = 0;
  double valor = 0;
};

// The document a line belongs to, as pricing sees it.
struct CabecalhoVenda {
  Date data;
  std::string terceiro;  // client code
  std::string moeda;
};

// The distributor's pricing rules for one sales line. Every price read from a
// table is per sale unit and is multiplied by the unit factor of the line.
class LinePricing {
 public:
  explicit LinePricing(PricingSource& source) : source_(source) {}

  // Chooses the rule for an article on a document. The result is filled as
  // the selection goes, so a caller that catches an error still has the code
  // reached so far (5 before the client was found, 0 after).
  void selecionaRegra(RegraDoArtigo& regra, const CabecalhoVenda& cab, std::string_view artigo);

  // The article's retail price for the client's retail level.
  static double precoRetalho(const ArtigoRecord& artigo, const ClienteRecord& cliente, double factor);
  // The scheduled retail price of the article on the date, when it has one.
  std::optional<double> precoAgendado(const ArtigoRecord& artigo, const ClienteRecord& cliente, Date data,
                                      double factor);
  // The scheduled retail price when the article has one, else its retail price.
  double precoAgendadoOuRetalho(const ArtigoRecord& artigo, const ClienteRecord& cliente, Date data, double factor);
  // Rule 1: the client's price-line price on the date. A line without a
  // price row keeps a non-zero current price.
  double precoDaLinha(const RegraDoArtigo& regra, double precoActual, Date data, double factor);
  // Rules 2 and 3: the price (the one handed in, or the retail price when
  // that is 0) and the discount the rule gives on it.
  DescontoDaRegra descontoDaRegra(const RegraDoArtigo& regra, double precoActual, Date data, double factor);

  PricingSource& source() { return source_; }

 private:
  PricingSource& source_;
};

// How many sale units one unit of the line holds: FACTEMB for the packing
// unit, FACTTRA for the transport unit (tested last, so it wins), 1 for any
// other; a factor of 0 counts as 1. An empty unit is the sale unit.
double factorDaUnidade(const ArtigoRecord& artigo, std::string_view unidade);

// A discount value as a percentage of a price: nothing when the value is 0
// (the line keeps its discount), 0 when the value is the whole price or
// more, else the share rounded to 4 decimal places, times 100. A price of 0
// gives 0 rather than a division by zero.
std::optional<double> percentagemDoValor(double preco, double valor);

// A price less chained discounts, answered as the total percentage when the
// price is 100: "10+5" gives 14.5. Empty pieces are skipped; a piece that is
// not a number fails with Type mismatch (13).
double descontoComposto(double preco, std::string_view desconto);

// VB's Round(value, decimals): halves to the even neighbour.
double roundTo(double value, int decimals);

}  // namespace quill
