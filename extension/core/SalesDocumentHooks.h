#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/automation/Dispatch.h"

namespace quill {

class DataAccess;
namespace ui {
class UiServices;
}

// The hooks the host calls for whole sales documents: is it a credit note,
// does its type earn a freight allowance, what is a client's price-line
// price, and — when a document is saved — have the bridge write its freight
// allowance. None lets an error reach the host.
class SalesDocumentHooks {
 public:
  struct Settings {
    std::string tiposDocumento;  // "DOCUMENTOS VENDA"/"TPDOC": types that earn an allowance
    std::string artigoAbono;     // "DOCUMENTOS VENDA"/"DESCRTABONO": the allowance article
  };
  struct Services {
    ui::UiServices* ui = nullptr;
    std::function<DataAccess*()> dataAccess;  // nothing once the database was closed
    std::function<bool()> apiLigadaOuAviso;   // the API-off warning; true when the link is on
    std::function<DispatchPtr()> nextApi;     // the bridge object
  };

  SalesDocumentHooks(Services services, const Settings& settings);

  bool IsNotaCredito(const Variant& oApi);
  bool VendasDocumentoInteressa(std::string_view sDocumento);
  bool VendasTemLinhaPrecos(std::string_view sCliente, std::string_view sMoeda, std::string_view sArtigo,
                            Variant& sDataDoc, std::string_view sUnidade, Variant& dPrecoSemIva);
  bool VendasAbonoFrete(std::int16_t iAno, std::string_view sTipo, std::int16_t iSerie, std::int32_t lNumero,
                        std::string_view sExpedicao, std::string_view sCliente);

 private:
  DataAccess& dataAccess();

  Services services_;
  const Settings& settings_;
};

}  // namespace quill
