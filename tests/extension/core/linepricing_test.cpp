#include <gtest/gtest.h>

#include <map>

#include "extension/core/LinePricing.h"
#include "platform/automation/AutomationError.h"
#include "platform/vb/OleDate.h"

namespace quill {
namespace {

// An in-memory price book standing in for the company database.
class FakeSource : public PricingSource {
 public:
  std::map<std::string, ArtigoRecord> artigos;
  std::map<std::string, ClienteRecord> clientes;
  std::map<std::string, PrecoDaLinha> precos;  // key: article|currency|line
  std::map<std::string, double> gruposDesconto;  // key: group|client
  std::map<std::string, PrecoAgendado> agendados;

  std::optional<ArtigoRecord> artigo(std::string_view c) override { return find(artigos, std::string(c)); }
  std::optional<ClienteRecord> cliente(std::string_view c) override { return find(clientes, std::string(c)); }
  std::optional<PrecoDaLinha> precoDaLinha(std::string_view a, std::string_view m, std::int32_t l) override {
    return find(precos, std::string(a) + "|" + std::string(m) + "|" + std::to_string(l));
  }
  std::optional<double> descontoDoGrupo(std::string_view g, std::string_view c) override {
    return find(gruposDesconto, std::string(g) + "|" + std::string(c));
  }
  std::optional<PrecoAgendado> precoAgendado(std::string_view a) override { return find(agendados, std::string(a)); }

 private:
  template <class M>
  static std::optional<typename M::mapped_type> find(const M& map, const std::string& key) {
    auto it = map.find(key);
    if (it == map.end()) return std::nullopt;
    return it->second;
  }
};

const Date kJan = vb::makeDate(2026, 1, 15);
const Date kMar = vb::makeDate(2026, 3, 1);
const Date kJun = vb::makeDate(2026, 6, 1);

ArtigoRecord racao(std::string codigo, std::string grupo = "RAC", bool fixo = false) {
  ArtigoRecord a;
  a.codigo = std::move(codigo);
  a.grupo = std::move(grupo);
  a.unvnd = "KG";
  a.unemb = "SC";
  a.factemb = 25;
  a.untrans = "PAL";
  a.facttra = 1000;
  a.pvpsiva = 0.50;
  a.pvalsiva = 0.45;
  a.pvp3SemIva = 0.40;
  a.precoFixo = fixo;
  return a;
}

ClienteRecord cliente(std::string codigo, std::int32_t linha = 0, double porKg = 0, std::int32_t nivel = 0) {
  ClienteRecord c;
  c.codigo = std::move(codigo);
  c.tppreco = linha;
  c.dscValPorKg = porKg;
  c.tppre = nivel;
  return c;
}

class LinePricingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.artigos["FIXO"] = racao("FIXO", "RAC", true);
    db.artigos["GRUPO"] = racao("GRUPO", "MILHO");
    db.artigos["AGENDADO"] = racao("AGENDADO", "");
    db.artigos["SIMPLES"] = racao("SIMPLES", "");
    auto desc = racao("DESC", "");
    desc.artOuDes = 1;
    db.artigos["DESC"] = desc;
    db.clientes["LINHA2"] = cliente("LINHA2", 2);
    db.clientes["SEMLINHA"] = cliente("SEMLINHA");
    db.clientes["PORKG"] = cliente("PORKG", 0, 0.02);
    db.gruposDesconto["MILHO|SEMLINHA"] = 0.03;
    db.gruposDesconto["MILHO|PORKG"] = 0;  // a zero discount is no discount
    db.precos["FIXO|EUR|2"] = PrecoDaLinha{kMar, 0.60, 0.55};
    db.agendados["AGENDADO"] = PrecoAgendado{kMar, {0.70, 0.65, 0.60}, {0.52, 0.48, 0.44}};
  }

  RegraDoArtigo regra(std::string_view artigo, std::string terceiro, Date data = kJun) {
    RegraDoArtigo r;
    pricing.selecionaRegra(r, CabecalhoVenda{data, std::move(terceiro), "EUR"}, artigo);
    return r;
  }

  FakeSource db;
  LinePricing pricing{db};
};

TEST_F(LinePricingTest, RuleTable) {
  struct Row {
    const char* artigo;
    const char* cliente;
    int codigo;
  } rows[] = {
      {"FIXO", "LINHA2", kRegraLinhaDePrecos},
      {"FIXO", "SEMLINHA", kRegraRetalho},       // fixed price but no price line
      {"FIXO", "PORKG", kRegraRetalho},          // fixed-price articles take no per-kg discount
      {"GRUPO", "SEMLINHA", kRegraDescontoGrupo},
      {"GRUPO", "PORKG", kRegraDescontoKg},      // group discount 0 falls through to the per-kg one
      {"AGENDADO", "SEMLINHA", kRegraPrecoAgendado},
      {"SIMPLES", "SEMLINHA", kRegraRetalho},
      {"DESC", "SEMLINHA", kRegraNenhuma},       // description-only line
      {"NAOEXISTE", "SEMLINHA", kRegraNenhuma},
      {"SIMPLES", "NAOEXISTE", kRegraNenhuma},
      {"   ", "SEMLINHA", kRegraNenhuma},
  };
  for (const auto& row : rows)
    EXPECT_EQ(regra(row.artigo, row.cliente).codigo, row.codigo) << row.artigo << " / " << row.cliente;
}

TEST_F(LinePricingTest, PriceLinePriceUsesThePreviousPriceBeforeItsStartDate) {
  auto r = regra("FIXO", "LINHA2");
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 0, kJun, 1), 0.60);
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 0, kMar, 1), 0.60);  // on the start date: the new price
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 0, kJan, 25), 0.55 * 25);
}

TEST_F(LinePricingTest, PriceLineWithoutUsablePriceFallsBackToScheduledThenRetail) {
  db.precos["FIXO|EUR|2"].buthist = 0;
  auto r = regra("FIXO", "LINHA2");
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 9.99, kJan, 1), 0.50);  // no previous price: retail
  db.agendados["FIXO"] = PrecoAgendado{kJan, {0.80, 0, 0}, {0.75, 0, 0}};
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 9.99, kJan, 1), 0.80);

  db.precos.clear();
  r = regra("FIXO", "LINHA2");
  EXPECT_EQ(r.codigo, kRegraLinhaDePrecos);
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 1.25, kJun, 1), 1.25);  // a typed price is kept
  EXPECT_DOUBLE_EQ(pricing.precoDaLinha(r, 0, kJun, 1), 0.80);
}

TEST_F(LinePricingTest, ScheduledPriceByRetailLevelAndActivationDate) {
  auto agendado = db.artigos["AGENDADO"];
  EXPECT_DOUBLE_EQ(*pricing.precoAgendado(agendado, cliente("x", 0, 0, 0), kJun, 1), 0.70);
  EXPECT_DOUBLE_EQ(*pricing.precoAgendado(agendado, cliente("x", 0, 0, 2), kJun, 1), 0.60);
  EXPECT_DOUBLE_EQ(*pricing.precoAgendado(agendado, cliente("x", 0, 0, 1), kJan, 1), 0.48);
  EXPECT_DOUBLE_EQ(*pricing.precoAgendado(agendado, cliente("x", 0, 0, 7), kJan, 1), 0.52);  // unknown level: first
  EXPECT_DOUBLE_EQ(LinePricing::precoRetalho(agendado, cliente("x", 0, 0, 2), 25), 10.0);
}

TEST_F(LinePricingTest, UnitFactors) {
  auto a = racao("A");
  EXPECT_DOUBLE_EQ(factorDaUnidade(a, "pal"), 1000);
  EXPECT_DOUBLE_EQ(factorDaUnidade(a, "SC"), 25);
  EXPECT_DOUBLE_EQ(factorDaUnidade(a, "KG"), 1);
  EXPECT_DOUBLE_EQ(factorDaUnidade(a, ""), 1);
  a.facttra = 0;
  EXPECT_DOUBLE_EQ(factorDaUnidade(a, "PAL"), 1);
  a.untrans = "SC";  // both units the same: the transport factor wins
  a.facttra = 30;
  EXPECT_DOUBLE_EQ(factorDaUnidade(a, "SC"), 30);
}

TEST_F(LinePricingTest, GroupAndPerKgDiscountsAsPercentageOfThePrice) {
  auto r = regra("GRUPO", "SEMLINHA");
  auto d = pricing.descontoDaRegra(r, 0, kJun, 25);  // a 25 kg bag at 0.50/kg, 0.03/kg off
  EXPECT_DOUBLE_EQ(d.preco, 12.5);
  EXPECT_DOUBLE_EQ(d.valor, 0.75);
  EXPECT_DOUBLE_EQ(d.percentagem, 6);
  // A typed price is kept and the discount worked out against it.
  d = pricing.descontoDaRegra(r, 0.04, kJun, 1);
  EXPECT_DOUBLE_EQ(d.preco, 0.04);
  EXPECT_DOUBLE_EQ(d.percentagem, 75);
  // A discount of the whole price or more is no percentage at all.
  d = pricing.descontoDaRegra(r, 0.03, kJun, 1);
  EXPECT_DOUBLE_EQ(d.percentagem, 0);
  EXPECT_DOUBLE_EQ(d.valor, 0.03);

  r = regra("GRUPO", "PORKG");
  d = pricing.descontoDaRegra(r, 0, kJun, 1);
  EXPECT_DOUBLE_EQ(d.valor, 0.02);
  EXPECT_DOUBLE_EQ(d.percentagem, 4);
}

TEST(PercentagemDoValor, RoundsToFourDecimalsOfTheShare) {
  EXPECT_FALSE(percentagemDoValor(10, 0));
  EXPECT_DOUBLE_EQ(*percentagemDoValor(10, 10), 0);
  EXPECT_DOUBLE_EQ(*percentagemDoValor(3, 1), 33.33);
  EXPECT_DOUBLE_EQ(*percentagemDoValor(10, 12), 0);
  EXPECT_DOUBLE_EQ(*percentagemDoValor(0, 1), 0);  // no price: no percentage, no division by zero
}

TEST(DescontoComposto, ChainsTheDiscountsOfTheText) {
  EXPECT_DOUBLE_EQ(descontoComposto(100, ""), 0);
  EXPECT_DOUBLE_EQ(descontoComposto(100, "10+5"), 14.5);
  EXPECT_DOUBLE_EQ(descontoComposto(100, "10++5"), 14.5);
  EXPECT_DOUBLE_EQ(descontoComposto(100, "10,5"), 10.5);  // Portuguese decimal comma
  try {
    descontoComposto(100, "10+cinco");
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 13);
  }
}

}  // namespace
}  // namespace quill
