#pragma once

#include <memory>
#include <string>

#include "erp/LineValues.h"
#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

// "SageApiNextPlus.DocumentosGcLin": a document line, created empty by the
// factory or read with its document (the items of Linhas, live: what is
// written into them is saved with the document).
//
// Members (read and written unless marked):
//   TipoDeLinha, Artigo, Descricao, Unidade, Quantidade, QuantidadeOrigem,
//   PrecoUnitario, PrecoUnitarioIntroduzido, Desconto (text "10+5"; a number
//   is taken as its text), DescontoValor, TaxaIva, Vendedor, Data, Serie,
//   NumLinha (read), TotalLiquido (read; computed when the document is saved)
// A value of the wrong kind fails with Type mismatch (13).
class DocumentLine : public DispatchObject<DocumentLine> {
 public:
  DocumentLine() = default;
  explicit DocumentLine(erp::LineValues values) : values_(std::move(values)) {}

  erp::LineValues& values() { return values_; }
  const erp::LineValues& values() const { return values_; }

  static const MemberTable<DocumentLine>& members();
  std::string className() const override { return "DocumentosGcLin"; }

 private:
  erp::LineValues values_;
};

}  // namespace quill::erpapi
