#include "host/DocumentContextBuilder.h"

#include "platform/automation/PropertyBag.h"

namespace quill::host {

DocumentContext DocumentContextBuilder::build(const SalesHeader& header, const SalesLine* line) {
  auto cab = PropertyBag::create("Cab");
  cab->setValue("Data", header.date);
  cab->setValue("Terceiro", header.client);
  cab->setValue("Moeda", header.currency);
  const auto& c = header.classification;
  cab->setValue("AreaGestao", std::int32_t{c.managementArea});
  cab->setValue("TipoTerceiro", std::int32_t{c.thirdPartyType});
  cab->setValue("TipoOperacao", std::int32_t{c.operationType});
  cab->setValue("NaturezaContab", std::int32_t{c.accountNature});
  cab->setValue("TipificacaoStocks", std::int32_t{c.stockType});

  DocumentContext context;
  auto oApi = PropertyBag::create("oApi");
  oApi->setValue("Cab", DispatchPtr(cab));
  if (line) {
    context.linha = TrackedPropertyBag::create("Linha");
    auto& l = *context.linha;
    l.setValue("Artigo", line->article);
    l.setValue("Unidade", line->unit);
    l.setValue("Quantidade", line->quantity);
    l.setValue("PrecoUnitario", line->unitPrice);
    l.setValue("Desconto", line->discount);
    l.setValue("TaxaDesconto", line->discountRate());
    l.setValue("Estado", std::int32_t{static_cast<int>(line->state)});
    l.setValue("OrDoc", line->origin);
    oApi->setValue("Linha", DispatchPtr(context.linha));
  } else {
    oApi->setValue("Linha", DispatchPtr());  // Nothing
  }
  context.oApi = oApi;
  return context;
}

}  // namespace quill::host
