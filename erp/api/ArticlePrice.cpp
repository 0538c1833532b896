#include "erp/api/ArticlePrice.h"

#include <fmt/format.h>

#include "erp/api/ApiCompanySession.h"
#include "erp/api/ApiDate.h"
#include "platform/sql/Connection.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

namespace {
Variant dateColumn(const Variant& given) {
  ApiDate d = ApiDate::from(given);
  return d.date ? Variant(*d.date) : Variant::null();
}
}  // namespace

ArticlePrice::ArticlePrice(std::shared_ptr<ApiCompanySession> session) : session_(std::move(session)) {}

bool ArticlePrice::started() const { return session_ && session_->isOpen(); }

std::string ArticlePrice::describe() const { return fmt::format("{} {} {}", article_, currency_, line_); }

bool ArticlePrice::stored() const {
  return !session_
              ->query("SELECT 1 FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND LINPRC = ?",
                      {Variant(article_), Variant(currency_), Variant(line_)})
              ->eof();
}

std::int32_t ArticlePrice::LerPorArtmlin(std::string_view article, std::string_view currency, std::int32_t line) {
  if (!started()) return refusal_.refuse(refuse::notStarted());
  auto row = session_->query(
      "SELECT ARTIGO, MOEDA, LINPRC, DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT FROM PRECOS "
      "WHERE ARTIGO = ? AND MOEDA = ? AND LINPRC = ?",
      {Variant(article), Variant(currency), Variant(line)});
  if (row->eof()) return refusal_.refuse(refuse::priceNotFound(article, currency, line));
  article_ = sql::fieldText(*row, "ARTIGO");
  currency_ = sql::fieldText(*row, "MOEDA");
  line_ = vb::CLng(row->value("LINPRC"));
  price_ = sql::fieldDouble(*row, "PVP");
  priceWithVat_ = sql::fieldDouble(*row, "PVPIVA");
  historyPrice_ = sql::fieldDouble(*row, "BUTHIST");
  historyPriceWithVat_ = sql::fieldDouble(*row, "BASECIVA");
  start_ = row->value("DATINIC");
  updated_ = row->value("DATACT");
  return refusal_.succeed();
}

std::optional<ApiRefusal> ArticlePrice::validate() const {
  if (!started()) return refuse::notStarted();
  if (!session_->articleExists(article_)) return refuse::unknownArticle(article_);
  if (!session_->currencyExists(currency_)) return refuse::unknownCurrency(currency_);
  if (line_ < 0) return refuse::unknownPriceLine(line_);
  for (double value : {price_, priceWithVat_, historyPrice_, historyPriceWithVat_})
    if (!(value >= 0)) return refuse::negativePrice();
  if (!ApiDate::from(start_).valid) return refuse::invalidDate("data de início do preço");
  if (!ApiDate::from(updated_).valid) return refuse::invalidDate("data de actualização");
  if (!session_->priceLineExists(line_) && !stored()) return refuse::unknownPriceLine(line_);
  return std::nullopt;
}

std::int32_t ArticlePrice::answer(std::string_view operation, std::optional<ApiRefusal> refusal) {
  if (started())
    session_->log().write(fmt::format("{} preço {}: {}", operation, describe(),
                                      refusal ? fmt::format("{} {}", refusal->number, refusal->message) : "0"));
  return refusal ? refusal_.refuse(std::move(*refusal)) : refusal_.succeed();
}

std::int32_t ArticlePrice::Validar() { return answer("Validar", validate()); }

std::int32_t ArticlePrice::Inserir() {
  auto refusal = validate();
  if (!refusal && stored()) refusal = refuse::priceExists(article_, currency_, line_);
  if (!refusal) {
    try {
      session_->connection().execute(
          "INSERT INTO PRECOS (ARTIGO, MOEDA, LINPRC, DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT) "
          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {Variant(article_), Variant(currency_), Variant(line_), dateColumn(start_), Variant(price_),
           Variant(priceWithVat_), Variant(historyPrice_), Variant(historyPriceWithVat_), dateColumn(updated_)});
    } catch (const AutomationError& error) {
      refusal = refuse::writeFailed(error.description());
    }
  }
  return answer("Inserir", std::move(refusal));
}

std::int32_t ArticlePrice::Alterar() {
  auto refusal = validate();
  if (!refusal && !stored()) refusal = refuse::priceNotFound(article_, currency_, line_);
  if (!refusal) {
    try {
      session_->connection().execute(
          "UPDATE PRECOS SET DATINIC = ?, PVP = ?, PVPIVA = ?, BUTHIST = ?, BASECIVA = ?, DATACT = ? "
          "WHERE ARTIGO = ? AND MOEDA = ? AND LINPRC = ?",
          {dateColumn(start_), Variant(price_), Variant(priceWithVat_), Variant(historyPrice_),
           Variant(historyPriceWithVat_), dateColumn(updated_), Variant(article_), Variant(currency_), Variant(line_)});
    } catch (const AutomationError& error) {
      refusal = refuse::writeFailed(error.description());
    }
  }
  return answer("Alterar", std::move(refusal));
}

const MemberTable<ArticlePrice>& ArticlePrice::members() {
  using Args = MemberTable<ArticlePrice>::Args;
  static const auto table =
      MemberTable<ArticlePrice>()
          .method(
              "LerPorArtmlin",
              [](ArticlePrice& p, Args a) {
                return Variant(p.LerPorArtmlin(vb::CStr(a[0]), vb::CStr(a[1]), vb::CLng(a[2])));
              },
              Arity::exactly(3))
          .property(
              "CodigoDoArtigo", [](ArticlePrice& p, Args) { return Variant(p.article_); },
              [](ArticlePrice& p, Args a) { p.article_ = sql::textOrEmpty(a.back()); })
          .property(
              "LinhaDePreco", [](ArticlePrice& p, Args) { return Variant(p.line_); },
              [](ArticlePrice& p, Args a) { p.line_ = vb::CLng(a.back()); })
          .property(
              "Moeda", [](ArticlePrice& p, Args) { return Variant(p.currency_); },
              [](ArticlePrice& p, Args a) { p.currency_ = sql::textOrEmpty(a.back()); })
          .property(
              "PrecoVendaSemIva", [](ArticlePrice& p, Args) { return Variant(p.price_); },
              [](ArticlePrice& p, Args a) { p.price_ = vb::CDbl(a.back()); })
          .property(
              "PrecoVendaComIva", [](ArticlePrice& p, Args) { return Variant(p.priceWithVat_); },
              [](ArticlePrice& p, Args a) { p.priceWithVat_ = vb::CDbl(a.back()); })
          .property(
              "BaseUtilHistorica", [](ArticlePrice& p, Args) { return Variant(p.historyPrice_); },
              [](ArticlePrice& p, Args a) { p.historyPrice_ = vb::CDbl(a.back()); })
          .property(
              "BaseComIva", [](ArticlePrice& p, Args) { return Variant(p.historyPriceWithVat_); },
              [](ArticlePrice& p, Args a) { p.historyPriceWithVat_ = vb::CDbl(a.back()); })
          .property(
              "DataInicioDoPreco", [](ArticlePrice& p, Args) { return ApiDate::asProperty(p.start_); },
              [](ArticlePrice& p, Args a) { p.start_ = a.back(); })
          .property(
              "DataDeActualizacao", [](ArticlePrice& p, Args) { return ApiDate::asProperty(p.updated_); },
              [](ArticlePrice& p, Args a) { p.updated_ = a.back(); })
          .method(
              "Validar", [](ArticlePrice& p, Args) { return Variant(p.Validar()); }, Arity::exactly(0))
          .method(
              "Inserir", [](ArticlePrice& p, Args) { return Variant(p.Inserir()); }, Arity::exactly(0))
          .method(
              "Alterar", [](ArticlePrice& p, Args) { return Variant(p.Alterar()); }, Arity::exactly(0))
          .property("UltimoErro", [](ArticlePrice& p, Args) { return Variant(p.refusal_.number()); })
          .property("UltimaMensagem", [](ArticlePrice& p, Args) { return Variant(p.refusal_.message()); });
  return table;
}

}  // namespace quill::erpapi
