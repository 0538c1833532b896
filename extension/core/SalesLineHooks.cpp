#include "extension/core/SalesLineHooks.h"

#include "extension/components/DocumentContext.h"
#include "platform/automation/AutomationError.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

const Variant kZero{std::int16_t{0}};
const Variant kEmptyText{std::string()};

// Something typed in a discount field: a number other than 0 or a text that
// is not blank (a text that reads as 0 counts as nothing).
bool entered(const Variant& value) {
  if (value.isEmpty() || value.isNull()) return false;
  if (value.isString()) {
    if (vb::Trim(value.stringValue()).empty()) return false;
    if (vb::IsNumeric(value)) return vb::CDbl(value) != 0;
    return true;
  }
  return vb::CDbl(value) != 0;
}

// A discount text that asks for something: any text that is not empty,
// "0" included, or a number other than 0.
bool typedSomething(const Variant& value) {
  if (value.isEmpty() || value.isNull()) return false;
  if (value.isString()) return !value.stringValue().empty();
  return vb::CDbl(value) != 0;
}

bool isFixo(const RegraDoArtigo& regra) { return regra.artigo && regra.artigo->precoFixo; }

}  // namespace

SalesLineHooks::SalesLineHooks(PricingSource& source, ui::UiServices& ui, DebugLog log, CreditNoteTest isNotaCredito)
    : pricing_(source), ui_(ui), log_(std::move(log)), isNotaCredito_(std::move(isNotaCredito)) {}

template <class Body>
void SalesLineHooks::guarded(std::string_view title, Body&& body) {
  try {
    body();
  } catch (const std::exception& error) {
    ui_.showError(error, title);
  }
}

RegraDoArtigo SalesLineHooks::regraDoArtigo(DocumentContext& ctx, std::string_view artigo) {
  RegraDoArtigo regra;
  try {
    pricing_.selecionaRegra(regra, CabecalhoVenda{ctx.data(), ctx.terceiro(), ctx.moeda()}, artigo);
  } catch (const std::exception& error) {
    ui_.showError(error, "RegraDoArtigo");
  }
  return regra;
}

void SalesLineHooks::percentagemNaLinha(DocumentContext& ctx, double valor) {
  if (auto percentagem = percentagemDoValor(ctx.precoUnitario(), valor)) ctx.setDesconto(*percentagem);
}

DescontoDaRegra SalesLineHooks::descontoNaLinha(DocumentContext& ctx, const RegraDoArtigo& regra, double preco,
                                                Date data, double factor) {
  auto d = pricing_.descontoDaRegra(regra, preco, data, factor);
  ctx.setPrecoUnitario(d.preco);
  ctx.setDesconto(d.percentagem);
  return d;
}

void SalesLineHooks::valorDoRetalho(DocumentContext& ctx, const RegraDoArtigo& regra, Variant& vDesValor) {
  // A fixed-price article takes no discount; any other keeps the typed value as a percentage.
  if (isFixo(regra))
    vDesValor = kZero;
  else
    percentagemNaLinha(ctx, vb::CDbl(vDesValor));
}

void SalesLineHooks::recusaDesconto(const Variant& introduzido, Variant& vPerc, Variant& vValor, Variant& bCancel) {
  if (typedSomething(introduzido)) {
    ui_.msgBox("Artigo com Linha de preços não permite desconto.", vb::vbInformation, "Descontos");
    bCancel = Variant(true);
  }
  vPerc = kEmptyText;
  vValor = kEmptyText;
}

void SalesLineHooks::ValidateArtigo(Variant& oApi, Variant& sArtigo, Variant& vDescPerc, Variant& vDescValor,
                                    Variant& bCancel) {
  guarded("Validate Artigo", [&] {
    log_("ValidateArtigo", "Ini");
    DocumentContext ctx(DocumentContext::fromArgument(oApi));
    if (!ctx.temLinha()) {
      log_("ValidateArtigo EXIT", "oApi.Linha Is Nothing");
      return;
    }
    std::string artigo = vb::CStr(sArtigo);
    Date data = ctx.data();
    std::string unidade = ctx.unidade();
    vDescPerc = kZero;
    RegraDoArtigo regra = regraDoArtigo(ctx, artigo);

    std::string artigoDaLinha = ctx.artigo();
    bool outroArtigo = !artigoDaLinha.empty() && vb::UCase(artigoDaLinha) != vb::UCase(artigo);
    double precoActual = ctx.precoUnitario();
    if (outroArtigo || ctx.estado() == 2) {
      // A new article starts from nothing, in its own sale unit.
      ctx.setPrecoUnitario(0);
      ctx.setDesconto(kEmptyText);
      precoActual = 0;
      if (regra.artigo) unidade = regra.artigo->unvnd;
      vDescValor = kZero;
    }
    double factor = regra.artigo ? factorDaUnidade(*regra.artigo, unidade) : 1.0;

    switch (regra.codigo) {
      case kRegraRetalho:
        if (!outroArtigo) break;
        ctx.setPrecoUnitario(LinePricing::precoRetalho(*regra.artigo, *regra.cliente, factor));
        ctx.setDesconto("0");
        vDescPerc = kZero;
        vDescValor = kZero;
        break;
      case kRegraLinhaDePrecos:
        ctx.setPrecoUnitario(pricing_.precoDaLinha(regra, precoActual, data, factor));
        ctx.setDesconto("0");
        vDescValor = kZero;
        break;
      case kRegraDescontoGrupo:
      case kRegraDescontoKg: {
        auto d = descontoNaLinha(ctx, regra, precoActual, data, factor);
        vDescValor = d.valor;
        break;
      }
      case kRegraPrecoAgendado:
        if (!outroArtigo) break;
        ctx.setPrecoUnitario(pricing_.precoAgendadoOuRetalho(*regra.artigo, *regra.cliente, data, factor));
        ctx.setDesconto("0");
        vDescPerc = kZero;
        vDescValor = kZero;
        break;
      default:
        break;
    }
    log_("ValidateArtigo", "Fim");
  });
}

void SalesLineHooks::ValidateQuantidade(Variant& oApi, Variant& oCampo, Variant& vDescPerc, Variant& vDesValor,
                                        Variant& bCancel) {
  guarded("Validate Quantidade", [&] {
    log_("ValidateQuantidade", "Ini");
    DocumentContext ctx(DocumentContext::fromArgument(oApi));
    if (!ctx.temLinha()) {
      log_("ValidateQuantidade Exit ", "Linha is nothing");
      return;
    }
    // A line copied from another document keeps the prices it came with.
    std::string orDoc = ctx.orDoc();
    if (!orDoc.empty()) {
      log_("ValidateQuantidade Exit ", orDoc);
      return;
    }
    RegraDoArtigo regra = regraDoArtigo(ctx, ctx.artigo());
    Date data = ctx.data();
    double factor = regra.artigo ? factorDaUnidade(*regra.artigo, ctx.unidade()) : 1.0;
    switch (regra.codigo) {
      case kRegraRetalho:
        valorDoRetalho(ctx, regra, vDesValor);
        break;
      case kRegraLinhaDePrecos:
        ctx.setPrecoUnitario(pricing_.precoDaLinha(regra, ctx.precoUnitario(), data, factor));
        ctx.setDesconto("0");
        vDesValor = kZero;
        break;
      case kRegraDescontoGrupo:
      case kRegraDescontoKg: {
        auto d = descontoNaLinha(ctx, regra, ctx.precoUnitario(), data, factor);
        vDesValor = d.valor;
        vDescPerc = d.percentagem;
        break;
      }
      default:
        break;
    }
    log_("ValidateQuantidade", "Fim");
  });
}

void SalesLineHooks::ValidateUnidade(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel) {
  guarded("Validate Unidade", [&] {
    DocumentContext ctx(DocumentContext::fromArgument(oApi));
    if (!ctx.temLinha()) return;
    std::string novaUnidade = vb::CStr(oCampo);
    // Only credit notes may change the unit of a line.
    if (!isNotaCredito_(oApi) && novaUnidade != ctx.unidade()) {
      vDesValor = ctx.unidade();
      bCancel = Variant(true);
      return;
    }
    RegraDoArtigo regra = regraDoArtigo(ctx, ctx.artigo());
    Date data = ctx.data();
    double factor = regra.artigo ? factorDaUnidade(*regra.artigo, novaUnidade) : 1.0;
    switch (regra.codigo) {
      case kRegraRetalho:
        valorDoRetalho(ctx, regra, vDesValor);
        break;
      case kRegraLinhaDePrecos:
        ctx.setPrecoUnitario(pricing_.precoDaLinha(regra, ctx.precoUnitario(), data, factor));
        break;
      case kRegraDescontoGrupo:
      case kRegraDescontoKg: {
        auto d = descontoNaLinha(ctx, regra, ctx.precoUnitario(), data, factor);
        vDesValor = d.valor;
        break;
      }
      default:
        break;
    }
  });
}

void SalesLineHooks::ValidatePrecoUnit(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel) {
  guarded("Validate PreçoUnitario", [&] {
    DocumentContext ctx(DocumentContext::fromArgument(oApi));
    if (!ctx.temLinha()) return;
    RegraDoArtigo regra = regraDoArtigo(ctx, ctx.artigo());
    Date data = ctx.data();
    double factor = regra.artigo ? factorDaUnidade(*regra.artigo, ctx.unidade()) : 1.0;
    switch (regra.codigo) {
      case kRegraRetalho:
      case kRegraPrecoAgendado:
        if (isFixo(regra)) vDesValor = kZero;
        ctx.setPrecoUnitario(vb::CDbl(oCampo));
        percentagemNaLinha(ctx, vb::CDbl(vDesValor));
        break;
      case kRegraLinhaDePrecos:
        // A fixed price cannot be typed over: the price line's price stays.
        ctx.setPrecoUnitario(pricing_.precoDaLinha(regra, ctx.precoUnitario(), data, factor));
        break;
      case kRegraDescontoGrupo:
      case kRegraDescontoKg: {
        // The typed price is kept and the rule's discount worked out against it.
        auto d = descontoNaLinha(ctx, regra, vb::CDbl(oCampo), data, factor);
        vDesValor = d.valor;
        break;
      }
      default:
        break;
    }
  });
}

void SalesLineHooks::ValidateDesconto(Variant& oApi, Variant& vDesPerc, Variant& vDesValor, Variant& bCancel) {
  descontoEditado("Validate Desconto", oApi, vDesPerc, vDesValor, bCancel, DescontoEditado::Percentagem);
}

void SalesLineHooks::ValidateDescontoValor(Variant& oApi, Variant& vDesPerc, Variant& vDesVal, Variant& bCancel) {
  descontoEditado("Validate DescontoValor", oApi, vDesPerc, vDesVal, bCancel, DescontoEditado::Valor);
}

void SalesLineHooks::descontoEditado(std::string_view title, Variant& oApi, Variant& vPerc, Variant& vValor,
                                     Variant& bCancel, DescontoEditado editado) {
  guarded(title, [&] {
    DocumentContext ctx(DocumentContext::fromArgument(oApi));
    if (!ctx.temLinha()) return;
    RegraDoArtigo regra = regraDoArtigo(ctx, ctx.artigo());
    Variant& introduzido = editado == DescontoEditado::Percentagem ? vPerc : vValor;
    switch (regra.codigo) {
      case kRegraLinhaDePrecos:
        recusaDesconto(introduzido, vPerc, vValor, bCancel);
        break;
      case kRegraRetalho:
      case kRegraPrecoAgendado:
        if (isFixo(regra)) {
          ctx.setDesconto(kZero);
          vPerc = kZero;
          vValor = kZero;
        } else if (editado == DescontoEditado::Percentagem) {
          // A typed percentage gives way to the line's own discount rate.
          if (entered(vPerc)) vPerc = ctx.taxaDesconto();
        } else if (vValor.isString() && !vb::IsNumeric(vValor)) {
          if (!vb::Trim(vValor.stringValue()).empty()) bCancel = Variant(true);
        } else if (!vValor.isNull() && vb::CDbl(vValor) != 0) {
          if (auto percentagem = percentagemDoValor(ctx.precoUnitario(), vb::CDbl(vValor))) {
            ctx.setDesconto(*percentagem);
            vPerc = *percentagem;
          }
        }
        break;
      case kRegraDescontoGrupo:
      case kRegraDescontoKg: {
        double factor = factorDaUnidade(*regra.artigo, ctx.unidade());
        auto d = descontoNaLinha(ctx, regra, ctx.precoUnitario(), ctx.data(), factor);
        vPerc = d.percentagem;
        vValor = d.valor;
        break;
      }
      default:
        break;
    }
  });
}

void SalesLineHooks::ValidadeDescontoCliente(Variant& vCliente, Variant& vDescPerc, Variant& vDescDefault) {
  guarded("Validar Desconto Cliente", [&] {
    auto cliente = pricing_.source().cliente(vb::CStr(vCliente));
    if (cliente) vDescDefault = descontoComposto(100, cliente->descComp);
  });
}

}  // namespace quill
