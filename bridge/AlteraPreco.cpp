#include "bridge/AlteraPreco.h"

#include <limits>

#include "bridge/BridgeErrors.h"
#include "bridge/DataAccessCalls.h"
#include "bridge/DateOnlyMarker.h"
#include "bridge/SageNextApi.h"
#include "erp/api/ProgramIds.h"
#include "platform/sql/SqlQuote.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

constexpr const char* kSource = "Altera Preço";

// The end of both statements: the article, currency and line of one price.
std::string precoWhere(const std::string& artigo, const std::string& moeda, std::int32_t linha) {
  return "WHERE        (ARTIGO = '" + sql::sqlQuote(artigo) + "') AND (MOEDA = '" + sql::sqlQuote(moeda) +
         "') AND (LINPRC =" + std::to_string(linha) + " ) ";
}

}  // namespace

AlteraPrecoPedido AlteraPrecoPedido::from(std::span<const Variant> args) {
  return {vb::CStr(args[0]), vb::CStr(args[1]), vb::CLng(args[2]), vb::CDate(args[3]), vb::CDate(args[4]),
          vb::CDbl(args[5]), vb::CDbl(args[6]), vb::CDbl(args[7]), vb::CDbl(args[8])};
}

bool ProcessaAlteraPreco::PrecoArtigoNaLinha(const std::string& artigo, const std::string& moeda, std::int32_t linha) {
  try {
    DispatchPtr rs = DataAccessCalls(api_.dataAccess())
                         .openRecordset(std::string("SELECT       ARTIGO, MOEDA, LINPRC ") + "FROM         PRECOS " +
                                        precoWhere(artigo, moeda, linha));
    return DataAccessCalls::hasRows(rs);
  } catch (const std::exception& error) {
    throw raisedAgain(error, "PrecoArtigoNaLinha");
  }
}

void ProcessaAlteraPreco::PrecoArtigoNaLinhaRemove(const std::string& artigo, const std::string& moeda,
                                                   std::int32_t linha) {
  try {
    DataAccessCalls(api_.dataAccess())
        .execute(std::string("DELETE  ") + "FROM         PRECOS " + precoWhere(artigo, moeda, linha));
  } catch (const std::exception& error) {
    throw raisedAgain(error, "PrecoArtigoNaLinhaRemove");
  }
}

void ProcessaAlteraPreco::run(const AlteraPrecoPedido& p) {
  DispatchPtr preco;
  try {
    // 1. The line, and the currency without the date-only marker.
    if (p.lLinha == std::numeric_limits<std::int32_t>::min()) throw vbError(vberr::Overflow, kSource);
    const std::int32_t linha = p.lLinha < 0 ? -p.lLinha : p.lLinha;
    std::string moeda = p.sMoedaIn;
    bool soData = false;
    if (vb::Left(p.sMoedaIn, 4) == kDateOnlyMarker) {
      soData = true;
      moeda = vb::Mid(p.sMoedaIn, 5);
    }

    // 2. The ERP API's price object.
    preco = api_.CreateSageApiObject(erpapi::progid::kPrecos);
    if (!preco) return;

    // 3.-5.
    std::int32_t r = 0;
    if (PrecoArtigoNaLinha(p.sArtigo, moeda, linha)) {
      r = vb::CLng(late::call(preco, "LerPorArtmlin", {Variant(p.sArtigo), Variant(moeda), Variant(linha)}));
      if (p.lLinha < 0) {
        if (!soData) {
          r = 0;
          PrecoArtigoNaLinhaRemove(p.sArtigo, moeda, linha);
        }
      } else {
        if (!soData) {
          late::let(preco, "CodigoDoArtigo", Variant(p.sArtigo));
          late::let(preco, "Moeda", Variant(moeda));
          late::let(preco, "LinhaDePreco", Variant(linha));
          late::let(preco, "BaseUtilHistorica", late::get(preco, "PrecoVendaSemIva"));
          late::let(preco, "BaseComIva", late::get(preco, "PrecoVendaComIva"));
          late::let(preco, "PrecoVendaSemIva", Variant(p.dPvp));
          late::let(preco, "PrecoVendaComIva", Variant(p.dPvpComIva));
        }
        late::let(preco, "DataInicioDoPreco", Variant(p.dDataIni));
        late::let(preco, "DataDeActualizacao", Variant(vb::FormatDate(vb::today(), "dd-mm-yyyy")));
        r = vb::CLng(late::call(preco, "Validar"));
        if (r == 0) r = vb::CLng(late::call(preco, "Alterar"));
      }
    } else if (!soData && p.lLinha >= 0) {
      // Removing a price that is not there leaves nothing to do.
      late::let(preco, "CodigoDoArtigo", Variant(p.sArtigo));
      late::let(preco, "Moeda", Variant(moeda));
      late::let(preco, "LinhaDePreco", Variant(linha));
      late::let(preco, "PrecoVendaSemIva", Variant(p.dPvp));
      late::let(preco, "PrecoVendaComIva", Variant(p.dPvpComIva));
      late::let(preco, "DataInicioDoPreco", Variant(p.dDataIni));
      r = vb::CLng(late::call(preco, "Validar"));
      if (r == 0) r = vb::CLng(late::call(preco, "Inserir"));
    }

    // 6.-7. A refusal carries the API's number and message.
    if (r != 0) {
      AutomationError recusa(vb::CLng(late::get(preco, "UltimoErro")), kSource,
                             vb::CStr(late::get(preco, "UltimaMensagem")));
      preco.reset();
      throw recusa;
    }
    preco.reset();
  } catch (const std::exception& error) {
    preco.reset();
    throw raisedAgain(error, kSource);
  }
}

}  // namespace quill
