#pragma once

#include <string>

#include "erp/HeaderValues.h"
#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

// The header of a commercial document (its Cab), live: what is written into
// it is saved with the document.
//
// Members: TipoDoc, NumDoc, Ano, Nome, Vendedor, TotalMercadoria,
// TotalDescontos, TotalIva, TotalDocumento (read); Serie, Data, Terceiro,
// Moeda, Expedicao (read and written). Changing the series of a document
// that exists is refused when it is validated.
class DocumentHeader : public DispatchObject<DocumentHeader> {
 public:
  erp::HeaderValues& values() { return values_; }
  const erp::HeaderValues& values() const { return values_; }

  static const MemberTable<DocumentHeader>& members();
  std::string className() const override { return "DocumentoComercialCab"; }

 private:
  erp::HeaderValues values_;
};

}  // namespace quill::erpapi
