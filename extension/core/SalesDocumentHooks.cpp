#include "extension/core/SalesDocumentHooks.h"

#include "extension/components/DataAccess.h"
#include "extension/components/DocumentContext.h"
#include "extension/core/LinePricing.h"
#include "extension/core/PricingQueries.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/Strings.h"

namespace quill {

using sql::sqlQuote;

namespace {
constexpr const char* kTituloDocumentos = "Documentos de Venda";

// The header classification of a credit note.
struct Classificacao {
  const char* campo;
  std::int32_t valor;
};
constexpr Classificacao kNotaCredito[] = {
    {"AreaGestao", 4}, {"TipoTerceiro", 2}, {"TipoOperacao", 2}, {"NaturezaContab", 1}, {"TipificacaoStocks", 1}};
}  // namespace

SalesDocumentHooks::SalesDocumentHooks(Services services, const Settings& settings)
    : services_(std::move(services)), settings_(settings) {}

DataAccess& SalesDocumentHooks::dataAccess() {
  DataAccess* da = services_.dataAccess ? services_.dataAccess() : nullptr;
  if (!da) throw vbError(vberr::ObjectNotSet);
  return *da;
}

bool SalesDocumentHooks::IsNotaCredito(const Variant& oApi) {
  try {
    DispatchPtr api = DocumentContext::fromArgument(oApi);
    if (!api) return false;
    DocumentContext ctx(api);
    for (const auto& c : kNotaCredito) {
      Variant valor = ctx.cabecalho(c.campo);
      if (valor.isNull() || vb::CLng(valor) != c.valor) return false;
    }
    return true;
  } catch (const std::exception& error) {
    services_.ui->showError(error, "IsNotaCredito");
    return false;
  }
}

bool SalesDocumentHooks::VendasDocumentoInteressa(std::string_view sDocumento) {
  try {
    std::string documento = vb::UCase(sDocumento);
    for (const auto& tipo : vb::Split(vb::UCase(settings_.tiposDocumento), ","))
      if (vb::Trim(tipo) == documento) return true;
    return false;
  } catch (const std::exception& error) {
    services_.ui->showError(error, kTituloDocumentos);
    return false;
  }
}

bool SalesDocumentHooks::VendasTemLinhaPrecos(std::string_view sCliente, std::string_view sMoeda,
                                              std::string_view sArtigo, Variant& sDataDoc, std::string_view sUnidade,
                                              Variant& dPrecoSemIva) {
  try {
    auto cliente = dataAccess().OpenRecordset(std::string("SELECT       * ") + "FROM         CLIENTES " +
                                              "WHERE        (CODIGO ='" + sqlQuote(sCliente) + "') ");
    if (sql::noRows(cliente.get())) return false;
    std::int16_t linha = vb::CInt(Variant(sql::fieldDouble(*cliente, "TPPRECO")));
    if (linha <= 0) return false;

    std::string data = vb::FormatDate(vb::CDate(sDataDoc), "yyyy-mm-dd");
    auto precos = dataAccess().OpenRecordset(std::string("SELECT       * ") + "FROM         PRECOS " +
                                             "WHERE        (ARTIGO ='" + sqlQuote(sArtigo) + "') AND (MOEDA = '" +
                                             sqlQuote(sMoeda) + "') AND (LINPRC =" + std::to_string(linha) +
                                             ") AND (DATINIC <= CONVERT(DATETIME, '" + data + "', 102))");

    PricingQueries queries(dataAccess());
    auto artigo = queries.artigo(sArtigo);
    bool encontrado = !sql::noRows(precos.get());
    if (encontrado) {
      dPrecoSemIva = sql::fieldDouble(*precos, "PVP");
    } else {
      // No price of its line yet: a fixed-price article still sells at its retail price.
      if (!artigo || !artigo->precoFixo) return false;
      dPrecoSemIva = artigo->pvpsiva;
      encontrado = true;
    }
    if (artigo) dPrecoSemIva = vb::CDbl(dPrecoSemIva) * factorDaUnidade(*artigo, sUnidade);
    return encontrado;
  } catch (const std::exception& error) {
    services_.ui->showError(error, kTituloDocumentos);
    return false;
  }
}

bool SalesDocumentHooks::VendasAbonoFrete(std::int16_t iAno, std::string_view sTipo, std::int16_t iSerie,
                                          std::int32_t lNumero, std::string_view sExpedicao,
                                          std::string_view sCliente) {
  try {
    if (!services_.apiLigadaOuAviso()) return false;
    auto expedir = dataAccess().OpenRecordset(std::string("SELECT       * ") + "FROM         U_EXPEDIR " +
                                              "WHERE        (CODIGO ='" + sqlQuote(sExpedicao) + "') ");
    if (sql::noRows(expedir.get()) || sql::fieldDouble(*expedir, "ABONOFRETES") == 0) return false;
    auto cliente = dataAccess().OpenRecordset(std::string("SELECT       * ") + "FROM         U_CLIENTES " +
                                              "WHERE        (CODIGO ='" + sqlQuote(sCliente) + "') ");
    if (sql::noRows(cliente.get())) return false;
    double abonoPorTonelada = sql::fieldDouble(*cliente, "ABNFRTPORTN");
    if (abonoPorTonelada == 0) return false;

    std::vector<Variant> args{
        Variant(std::string(sTipo)),   Variant(lNumero), Variant(iSerie), Variant(iAno), Variant(abonoPorTonelada),
        Variant(settings_.artigoAbono)};
    late::callRef(services_.nextApi(), "AbonoDeFrete", args);
    return true;
  } catch (const std::exception& error) {
    services_.ui->showError(error, kTituloDocumentos);
    return false;
  }
}

}  // namespace quill
