#include "erp/api/DocumentStore.h"

#include "erp/api/CompanySession.h"
#include "erp/api/DocumentTotals.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

namespace {

std::string text(const sql::Recordset& rs, std::string_view name) {
  const Variant& v = rs.value(name);
  return v.isNull() ? std::string() : vb::CStr(v);
}
double number(const sql::Recordset& rs, std::string_view name) {
  const Variant& v = rs.value(name);
  return v.isNull() ? 0.0 : vb::CDbl(v);
}
std::int32_t whole(const sql::Recordset& rs, std::string_view name) {
  const Variant& v = rs.value(name);
  return v.isNull() ? 0 : vb::CLng(v);
}
std::optional<Date> date(const sql::Recordset& rs, std::string_view name) {
  const Variant& v = rs.value(name);
  if (v.isNull() || v.isEmpty()) return std::nullopt;
  return vb::CDate(v);
}
Variant dateValue(const std::optional<Date>& d) { return d ? Variant(*d) : Variant::null(); }

std::vector<Variant> keyParameters(const DocumentKey& key) {
  return {Variant(key.type), Variant(key.series), Variant(key.number), Variant(key.year)};
}

}  // namespace

std::optional<DocumentStore::Document> DocumentStore::load(const DocumentKey& key) const {
  auto head = session_.query(
      "SELECT TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, EMPREP, TOTMERC, "
      "TOTDESC, TOTIVA, TOTDOC, VALPEND FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
      keyParameters(key));
  if (head->eof()) return std::nullopt;

  Document doc;
  HeaderValues& h = doc.header;
  h.key = {text(*head, "TPDOC"), whole(*head, "SERIE"), whole(*head, "NNUMDOC"), whole(*head, "ANO")};
  h.date = date(*head, "DATA");
  h.client = text(*head, "TERCEIRO");
  h.clientName = text(*head, "NOME");
  h.currency = text(*head, "MOEDA");
  h.dispatch = text(*head, "EXPEDICAO");
  h.seller = text(*head, "VENDEDOR");
  h.inPreparation = whole(*head, "EMPREP") == -1;
  h.goodsTotal = number(*head, "TOTMERC");
  h.discountTotal = number(*head, "TOTDESC");
  h.vatTotal = number(*head, "TOTIVA");
  h.documentTotal = number(*head, "TOTDOC");
  h.pendingValue = number(*head, "VALPEND");

  auto series = session_.query("SELECT ASSINADA, CERTIFICADA FROM SERIES WHERE TPDOC = ? AND SERIE = ?",
                               {Variant(h.key.type), Variant(h.key.series)});
  if (!series->eof()) {
    doc.seriesSigned = whole(*series, "ASSINADA") != 0;
    doc.seriesCertified = whole(*series, "CERTIFICADA") != 0;
  }

  auto lines = session_.query(
      "SELECT NUMLIN, SERIE, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, "
      "DESCVALOR, TAXAIVA, TOTLIN, VENDEDOR, DATA, ORDOC FROM DOCGCLIN "
      "WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? ORDER BY NUMLIN",
      keyParameters(h.key));
  for (; !lines->eof(); lines->moveNext()) {
    LineValues l;
    l.number = whole(*lines, "NUMLIN");
    l.series = whole(*lines, "SERIE");
    l.type = whole(*lines, "TIPOLIN");
    l.article = text(*lines, "ARTIGO");
    l.description = text(*lines, "DESCR");
    l.unit = text(*lines, "UNIDADE");
    l.quantity = number(*lines, "QUANT");
    l.originalQuantity = number(*lines, "QUANTORIG");
    l.unitPrice = number(*lines, "PRECUNIT");
    l.enteredUnitPrice = number(*lines, "PRECUNITINT");
    l.discount = text(*lines, "DESCONTO");
    l.discountValue = number(*lines, "DESCVALOR");
    l.vatRate = number(*lines, "TAXAIVA");
    l.netTotal = number(*lines, "TOTLIN");
    l.seller = text(*lines, "VENDEDOR");
    l.date = date(*lines, "DATA");
    l.originDocument = text(*lines, "ORDOC");
    doc.lines.push_back(std::move(l));
  }
  return doc;
}

void DocumentStore::save(HeaderValues& header, std::vector<LineValues*>& lines) const {
  sql::Connection& db = session_.connection();
  DocumentTotals totals = DocumentTotals::compute(lines);

  std::string clientName = header.clientName;
  auto client = session_.query("SELECT NOME FROM CLIENTES WHERE CODIGO = ?", {Variant(header.client)});
  if (!client->eof()) clientName = text(*client, "NOME");
  // Whatever was paid stays paid: the amount owed moves with the total.
  double pending =
      header.pendingValue == 0 ? 0.0 : roundToCents(header.pendingValue + totals.total - header.documentTotal);

  sql::Transaction transaction(db);
  auto key = keyParameters(header.key);
  db.execute("DELETE FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?", key);
  std::int32_t number = 0;
  for (LineValues* line : lines) {
    ++number;
    db.execute(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, "
        "QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, DESCVALOR, TAXAIVA, TOTLIN, VENDEDOR, DATA, ORDOC) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {key[0],
         key[1],
         key[2],
         key[3],
         Variant(number),
         Variant(std::int32_t{line->type}),
         Variant(line->article),
         Variant(line->description),
         Variant(line->unit),
         Variant(line->quantity),
         Variant(line->originalQuantity),
         Variant(line->unitPrice),
         Variant(line->enteredUnitPrice),
         Variant(line->discount),
         Variant(line->discountValue),
         Variant(line->vatRate),
         Variant(line->netTotal),
         Variant(line->seller.empty() ? header.seller : line->seller),
         dateValue(line->date ? line->date : header.date),
         Variant(line->originDocument)});
  }
  db.execute(
      "UPDATE DOCGCCAB SET DATA = ?, TERCEIRO = ?, NOME = ?, MOEDA = ?, EXPEDICAO = ?, TOTMERC = ?, TOTDESC = ?, "
      "TOTIVA = ?, TOTDOC = ?, VALPEND = ? WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
      {dateValue(header.date), Variant(header.client), Variant(clientName), Variant(header.currency),
       Variant(header.dispatch), Variant(totals.goods), Variant(totals.discounts), Variant(totals.vat),
       Variant(totals.total), Variant(pending), key[0], key[1], key[2], key[3]});
  transaction.commit();

  number = 0;
  for (LineValues* line : lines) {
    line->number = ++number;
    if (line->seller.empty()) line->seller = header.seller;
    if (!line->date) line->date = header.date;
  }
  header.clientName = clientName;
  header.goodsTotal = totals.goods;
  header.discountTotal = totals.discounts;
  header.vatTotal = totals.vat;
  header.documentTotal = totals.total;
  header.pendingValue = pending;
}

}  // namespace quill::erpapi
