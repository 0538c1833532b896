#include "bridge/AbonoDeFrete.h"

#include "bridge/BridgeErrors.h"
#include "bridge/BridgeLog.h"
#include "bridge/DataAccessCalls.h"
#include "bridge/SageNextApi.h"
#include "erp/api/ProgramIds.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/SqlQuote.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

constexpr const char* kTag = "DAL AbonoDeFrete ";
constexpr const char* kSource = "Processa Abono de Frete";
constexpr const char* kSaveSource = "Processa Adicionar Abono de Frete";
constexpr std::int16_t kArticleLine = 1;
constexpr std::int16_t kServiceLine = 3;

void log(const SageNextApi& api, std::string_view detail) { logBridge(api.logFolder(), kTag, detail); }

// The ERP API's refusal of the document, as an error.
AutomationError refusal(const DispatchPtr& documento) {
  return AutomationError(vb::CLng(late::get(documento, "UltimoErro")), kSaveSource,
                         sql::textOrEmpty(late::get(documento, "UltimaMensagem")));
}

}  // namespace

AbonoDeFretePedido AbonoDeFretePedido::from(std::span<const Variant> args) {
  return {vb::CStr(args[0]), vb::CLng(args[1]), vb::CInt(args[2]),
          vb::CInt(args[3]), vb::CDbl(args[4]), vb::CStr(args[5])};
}

void ProcessaAbonoDeFrete::run(const AbonoDeFretePedido& p) {
  DispatchPtr documento;
  try {
    // An empty allowance article would match the empty article of comment
    // lines and turn one of them into the allowance.
    if (vb::Trim(p.sArtAbono).empty())
      throw AutomationError(vberr::InvalidCall, kSource, "O artigo do abono de frete não está definido.");

    // 1. Read the document.
    log(api_, "Antes ler documento");
    documento = api_.CreateSageApiObject(erpapi::progid::kDocumentoComercial);
    Variant r =
        late::call(documento, "Ler", {Variant(p.sFtDoc), Variant(p.lFtFum), Variant(p.iFtSerie), Variant(p.iFtAno)});
    log(api_, "Após ler documento " + vb::CStr(r));

    // 2. A signed and certified document that is no longer in preparation
    // may not be changed: nothing to do.
    if (vb::CBool(late::get(documento, "IsSerieAssinada")) &&
        vb::CBool(late::get(documento, "IsDocumentoCertificacao")) &&
        !vb::CBool(late::get(documento, "EmPreparacao"))) {
      documento.reset();
      log(api_, "sair. documento não interessa" + vb::CStr(r));
      return;
    }

    // 3. Weigh the article lines and find the allowance line.
    const DataAccessCalls dados(api_.dataAccess());
    const std::string artigoAbono = vb::UCase(p.sArtAbono);
    double peso = 0;
    std::int32_t linhaAbono = 0;
    DispatchPtr linhas = requireObject(late::get(documento, "Linhas"));
    const std::int32_t total = vb::CLng(late::get(linhas, "Count"));
    for (std::int32_t i = 1; i <= total; ++i) {
      DispatchPtr linha = requireObject(late::get(linhas, "Item", {Variant(i)}));
      const std::string artigo = vb::UCase(sql::textOrEmpty(late::get(linha, "Artigo")));
      if (artigo == artigoAbono) {
        linhaAbono = i;
        continue;
      }
      if (vb::CInt(late::get(linha, "TipoDeLinha")) != kArticleLine || vb::Trim(artigo).empty()) continue;

      DispatchPtr rs = dados.openRecordset(std::string("SELECT       * ") + "FROM         ARTIGOS " +
                                           "WHERE        (ARTIGOS.CODIGO = '" + sql::sqlQuote(artigo) + "') ");
      if (!DataAccessCalls::hasRows(rs)) continue;
      const Variant artOuDes = DataAccessCalls::field(rs, "ARTOUDES");
      if (artOuDes.isNull() || vb::CDbl(artOuDes) != 0) continue;

      const std::string unidade = vb::UCase(sql::textOrEmpty(late::get(linha, "Unidade")));
      double factor = 1.0;
      if (vb::UCase(sql::textOrEmpty(DataAccessCalls::field(rs, "UNEMB"))) == unidade)
        factor = vb::CDbl(DataAccessCalls::field(rs, "FACTEMB"));
      if (vb::UCase(sql::textOrEmpty(DataAccessCalls::field(rs, "UNTRANS"))) == unidade)
        factor = vb::CDbl(DataAccessCalls::field(rs, "FACTTRA"));
      peso += vb::CDbl(late::get(linha, "Quantidade")) * factor;
    }

    // 4. The weight is in kilograms, the allowance per tonne.
    log(api_, "fim ciclo validação");
    const double preco = peso / 1000.0 * p.dValorAbono;

    if (linhaAbono != 0) {
      // 5. Correct the existing allowance line.
      DispatchPtr linha = requireObject(late::get(linhas, "Item", {Variant(linhaAbono)}));
      late::let(linha, "PrecoUnitario", Variant(preco));
      late::let(linha, "Quantidade", Variant(std::int16_t{1}));
      late::let(linha, "DescontoValor", Variant(std::int16_t{0}));
      late::let(linha, "Desconto", Variant(""));
      late::let(linha, "Serie", Variant(std::int16_t{0}));
      log(api_, "alterou abono");
    } else {
      // 6. Add an allowance line with the ERP's defaults for the article.
      DispatchPtr linha = api_.CreateSageApiObject(erpapi::progid::kDocumentosGcLin);
      late::let(linha, "TipoDeLinha", Variant(kServiceLine));
      late::let(linha, "Artigo", Variant(p.sArtAbono));
      late::call(documento, "SugereValoresLin",
                 {Variant(linha), Variant(true), Variant(true), Variant(true), Variant(true), Variant(true),
                  Variant(false), Variant(true)});
      late::let(linha, "PrecoUnitario", Variant(preco));
      late::let(linha, "PrecoUnitarioIntroduzido", late::get(linha, "PrecoUnitario"));
      late::let(linha, "Quantidade", Variant(std::int16_t{1}));
      late::let(linha, "QuantidadeOrigem", Variant(std::int16_t{1}));
      late::call(documento, "AdicionaLinha", {Variant(linha)});
      late::let(linha, "Serie", Variant(std::int16_t{0}));
      linha.reset();
      log(api_, "inserir abono");
    }
    linhas.reset();

    // 7. Save: documents of series 0 with origin 3 and validation mode 2,
    // the others with origin 1 and the default validation.
    Variant r2;
    if (p.iFtSerie != 0) {
      late::let(documento, "Origem", Variant(std::int16_t{1}));
      r2 = late::call(documento, "Validar");
      if (vb::CLng(r2) != 0) throw refusal(documento);
      r2 = late::call(documento, "Alterar");
      if (vb::CLng(r2) != 0) throw refusal(documento);
      log(api_, " B após doc alterar " + vb::CStr(r2));
    } else {
      late::let(requireObject(late::get(documento, "Cab")), "Serie", Variant(std::int16_t{0}));
      late::let(documento, "Origem", Variant(std::int16_t{3}));
      r2 = late::call(documento, "Validar", {Variant(std::int16_t{2})});
      if (vb::CLng(r2) != 0) throw refusal(documento);
      r2 = late::call(documento, "Alterar");
      if (vb::CLng(r2) != 0) throw refusal(documento);
      log(api_, " A após doc alterar " + vb::CStr(r2));
    }

    // 8. Done; no error is pending on this path.
    documento.reset();
    log(api_, "sair ");
  } catch (const std::exception& error) {
    AutomationError caught = asBridgeError(error);
    documento.reset();
    throw AutomationError(caught.number(), kSource, caught.description());
  }
}

}  // namespace quill
