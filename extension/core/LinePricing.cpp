#include "extension/core/LinePricing.h"

#include <cmath>

#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill {

void LinePricing::selecionaRegra(RegraDoArtigo& regra, const CabecalhoVenda& cab, std::string_view artigo) {
  regra = RegraDoArtigo{};
  if (vb::Trim(artigo).empty()) return;
  regra.artigo = source_.artigo(artigo);
  if (!regra.artigo || regra.artigo->artOuDes != 0) return;
  regra.cliente = source_.cliente(cab.terceiro);
  if (!regra.cliente) return;

  regra.codigo = kRegraRetalho;
  const ArtigoRecord& art = *regra.artigo;
  const ClienteRecord& cli = *regra.cliente;
  if (art.precoFixo && cli.tppreco > 0) {
    // The price row is looked up now; whether it exists is settled when the price is taken.
    regra.precoDaLinha = source_.precoDaLinha(art.codigo, cab.moeda, cli.tppreco);
    regra.codigo = kRegraLinhaDePrecos;
    return;
  }
  if (!art.precoFixo) {
    if (!art.grupo.empty()) {
      auto desconto = source_.descontoDoGrupo(art.grupo, cli.codigo);
      if (desconto && *desconto > 0) {
        regra.descontoGrupo = *desconto;
        regra.codigo = kRegraDescontoGrupo;
        return;
      }
    }
    if (cli.dscValPorKg != 0) {
      regra.codigo = kRegraDescontoKg;
      return;
    }
  }
  if (source_.precoAgendado(art.codigo)) regra.codigo = kRegraPrecoAgendado;
}

double LinePricing::precoRetalho(const ArtigoRecord& artigo, const ClienteRecord& cliente, double factor) {
  switch (cliente.tppre) {
    case 1: return artigo.pvalsiva * factor;
    case 2: return artigo.pvp3SemIva * factor;
    default: return artigo.pvpsiva * factor;
  }
}

std::optional<double> LinePricing::precoAgendado(const ArtigoRecord& artigo, const ClienteRecord& cliente, Date data,
                                                 double factor) {
  auto agendado = source_.precoAgendado(artigo.codigo);
  if (!agendado) return std::nullopt;
  std::size_t nivel = cliente.tppre == 1 ? 1 : cliente.tppre == 2 ? 2 : 0;
  // Documents dated before the activation still use the prices as they were.
  bool activo = data.serial >= agendado->dataActivacao.serial;
  return (activo ? agendado->pvpSiva[nivel] : agendado->hpvpSiva[nivel]) * factor;
}

double LinePricing::precoAgendadoOuRetalho(const ArtigoRecord& artigo, const ClienteRecord& cliente, Date data,
                                           double factor) {
  if (auto agendado = precoAgendado(artigo, cliente, data, factor)) return *agendado;
  return precoRetalho(artigo, cliente, factor);
}

double LinePricing::precoDaLinha(const RegraDoArtigo& regra, double precoActual, Date data, double factor) {
  const ArtigoRecord& art = *regra.artigo;
  const ClienteRecord& cli = *regra.cliente;
  if (!regra.precoDaLinha) {
    if (precoActual == 0) return precoAgendadoOuRetalho(art, cli, data, factor);
    return precoActual;
  }
  const PrecoDaLinha& linha = *regra.precoDaLinha;
  double preco = data.serial >= linha.datinic.serial ? linha.pvp : linha.buthist;
  if (preco <= 0) return precoAgendadoOuRetalho(art, cli, data, factor);
  return preco * factor;
}

DescontoDaRegra LinePricing::descontoDaRegra(const RegraDoArtigo& regra, double precoActual, Date data,
                                             double factor) {
  const ArtigoRecord& art = *regra.artigo;
  const ClienteRecord& cli = *regra.cliente;
  double porUnidade = regra.codigo == kRegraDescontoGrupo ? regra.descontoGrupo : cli.dscValPorKg;
  DescontoDaRegra out;
  out.preco = precoActual == 0 ? precoAgendadoOuRetalho(art, cli, data, factor) : precoActual;
  if (out.preco != 0 && porUnidade != 0) {
    out.valor = porUnidade * factor;
    out.percentagem = percentagemDoValor(out.preco, out.valor).value_or(0);
  }
  return out;
}

double factorDaUnidade(const ArtigoRecord& artigo, std::string_view unidade) {
  std::string unit = vb::UCase(unidade.empty() ? std::string_view(artigo.unvnd) : unidade);
  double factor = 1.0;
  if (unit == vb::UCase(artigo.unemb)) factor = artigo.factemb;
  if (unit == vb::UCase(artigo.untrans)) factor = artigo.facttra;
  return factor == 0 ? 1.0 : factor;
}

std::optional<double> percentagemDoValor(double preco, double valor) {
  if (valor == 0) return std::nullopt;
  if (valor == preco || preco == 0) return 0.0;
  double percentagem = roundTo(valor / preco, 4) * 100;
  return percentagem >= 100 ? 0.0 : percentagem;
}

double descontoComposto(double preco, std::string_view desconto) {
  if (desconto.empty()) return 0;
  double p = preco;
  for (const auto& piece : vb::Split(desconto, "+")) {
    if (piece.empty()) continue;
    double d = vb::CDbl(Variant(piece));
    p = p - (d / 100) * p;
  }
  return 100 - p;
}

double roundTo(double value, int decimals) {
  double scale = std::pow(10.0, decimals);
  return vb::roundHalfEven(value * scale) / scale;
}

}  // namespace quill
