#pragma once

#include <memory>

#include "host/SalesDocument.h"
#include "host/TrackedPropertyBag.h"

namespace quill::host {

// The document context the host hands the extension's hooks (oApi): the
// header as Cab and the line being edited as Linha.
//
// Cab: Data (a date), Terceiro (client), Moeda (currency) and the
// classification the document copied from its type: AreaGestao,
// TipoTerceiro, TipoOperacao, NaturezaContab, TipificacaoStocks.
//
// Linha: Artigo, Unidade, Quantidade, PrecoUnitario, Desconto (the stored
// discount text), TaxaDesconto (the discount as one percentage), Estado
// (LineState: 0 a line not stored yet, 1 a stored one) and OrDoc. They hold
// the line as it was before the edit the hook is asked about; what a hook
// writes into PrecoUnitario and Desconto is taken into the line.
struct DocumentContext {
  DispatchPtr oApi;
  std::shared_ptr<TrackedPropertyBag> linha;  // empty when there is no line
};

class DocumentContextBuilder {
 public:
  static DocumentContext build(const SalesHeader& header, const SalesLine* line);
};

}  // namespace quill::host
