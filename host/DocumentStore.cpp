#include "host/DocumentStore.h"

#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::host {

namespace {

std::vector<Variant> keyValues(const DocumentKey& key) {
  return {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}};
}

std::string text(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? std::string() : vb::CStr(v);
}

double number(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? 0.0 : vb::CDbl(v);
}

int whole(const sql::Recordset& rs, std::string_view field) { return static_cast<int>(number(rs, field)); }

Date date(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? Date{} : vb::CDate(v);
}

Variant dateText(Date d) { return Variant(vb::toIsoText(d)); }

constexpr const char* kHeaderKey = " WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?";
constexpr const char* kLinesKey = " WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?";

}  // namespace

DocumentStore::DocumentStore(std::shared_ptr<sql::Connection> connection) : connection_(std::move(connection)) {}

bool DocumentStore::exists(const DocumentKey& key) const {
  return !connection_->query(std::string("SELECT NNUMDOC FROM DOCGCCAB") + kHeaderKey, keyValues(key))->eof();
}

int DocumentStore::nextNumber(std::string_view type, int series, int year) const {
  auto rs = connection_->query(
      "SELECT COALESCE(MAX(NNUMDOC), 0) + 1 AS PROXIMO FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND ANO = ?",
      {std::string(type), std::int32_t{series}, std::int32_t{year}});
  return whole(*rs, "PROXIMO");
}

std::vector<DocumentSummary> DocumentStore::recent(int limit) const {
  std::vector<DocumentSummary> list;
  auto rs = connection_->query(
      "SELECT TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, TOTDOC FROM DOCGCCAB WHERE AREAG = 4 "
      "ORDER BY DATA DESC, ANO DESC, NNUMDOC DESC LIMIT ?",
      {std::int32_t{limit}});
  for (; !rs->eof(); rs->moveNext()) {
    DocumentSummary d;
    d.key = {text(*rs, "TPDOC"), whole(*rs, "SERIE"), whole(*rs, "NNUMDOC"), whole(*rs, "ANO")};
    d.date = date(*rs, "DATA");
    d.client = text(*rs, "TERCEIRO");
    d.clientName = text(*rs, "NOME");
    d.total = number(*rs, "TOTDOC");
    list.push_back(std::move(d));
  }
  return list;
}

std::optional<SalesDocument> DocumentStore::load(const DocumentKey& key) const {
  auto head = connection_->query(
      std::string("SELECT TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, AREAG, "
                  "TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT, DATAVENC FROM DOCGCCAB") +
          kHeaderKey,
      keyValues(key));
  if (head->eof()) return std::nullopt;
  SalesDocument doc;
  SalesHeader& h = doc.header;
  h.key = {text(*head, "TPDOC"), whole(*head, "SERIE"), whole(*head, "NNUMDOC"), whole(*head, "ANO")};
  h.date = date(*head, "DATA");
  h.client = text(*head, "TERCEIRO");
  h.clientName = text(*head, "NOME");
  h.currency = text(*head, "MOEDA");
  h.dispatch = text(*head, "EXPEDICAO");
  h.seller = text(*head, "VENDEDOR");
  h.zone = text(*head, "ZONA");
  h.dueDate = date(*head, "DATAVENC");
  h.classification = {whole(*head, "AREAG"),    whole(*head, "TPTERC"),   whole(*head, "TPOPER"),
                      whole(*head, "NATCONTA"), whole(*head, "TIPIFSTK"), whole(*head, "SINALCT")};

  auto lines = connection_->query(
      std::string("SELECT TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, PRECUNIT, DESCONTO, DESCVALOR, TAXAIVA, ORDOC "
                  "FROM DOCGCLIN") +
          kLinesKey + " ORDER BY NUMLIN",
      keyValues(key));
  for (; !lines->eof(); lines->moveNext()) {
    SalesLine line;
    int type = whole(*lines, "TIPOLIN");
    line.type = type == 2 ? LineType::Comment : type == 3 ? LineType::Service : LineType::Article;
    line.article = text(*lines, "ARTIGO");
    line.description = text(*lines, "DESCR");
    line.unit = text(*lines, "UNIDADE");
    line.quantity = number(*lines, "QUANT");
    line.unitPrice = number(*lines, "PRECUNIT");
    line.discount = text(*lines, "DESCONTO");
    line.discountValue = number(*lines, "DESCVALOR");
    line.vatRate = number(*lines, "TAXAIVA");
    line.origin = text(*lines, "ORDOC");
    line.state = LineState::Stored;
    doc.lines.push_back(std::move(line));
  }
  doc.stored = true;
  return doc;
}

void DocumentStore::save(SalesDocument& document) {
  SalesHeader& h = document.header;
  DocumentTotals totals = document.totals();
  sql::Transaction transaction(*connection_);

  std::vector<Variant> values = {h.date.serial == 0 ? Variant::null() : dateText(h.date),
                                 h.client,
                                 h.clientName,
                                 h.currency,
                                 h.dispatch,
                                 h.seller,
                                 h.zone,
                                 std::int32_t{h.classification.managementArea},
                                 std::int32_t{h.classification.thirdPartyType},
                                 std::int32_t{h.classification.operationType},
                                 std::int32_t{h.classification.accountNature},
                                 std::int32_t{h.classification.stockType},
                                 std::int32_t{h.classification.accountSign},
                                 h.dueDate.serial == 0 ? Variant::null() : dateText(h.dueDate),
                                 totals.goods,
                                 totals.discount,
                                 totals.vat,
                                 totals.total,
                                 totals.total};
  // The key changes only once everything is written: a failed save leaves
  // the document as it was.
  DocumentKey key = h.key;
  bool updated = false;
  if (document.stored) {
    std::vector<Variant> update = values;
    for (auto& k : keyValues(key)) update.push_back(k);
    updated = connection_->execute(
                  std::string("UPDATE DOCGCCAB SET DATA = ?, TERCEIRO = ?, NOME = ?, MOEDA = ?, EXPEDICAO = ?, "
                              "VENDEDOR = ?, ZONA = ?, AREAG = ?, TPTERC = ?, TPOPER = ?, NATCONTA = ?, TIPIFSTK = ?, "
                              "SINALCT = ?, DATAVENC = ?, TOTMERC = ?, TOTDESC = ?, TOTIVA = ?, TOTDOC = ?, "
                              "VALPEND = ?") +
                      kHeaderKey,
                  update) > 0;
    connection_->execute(std::string("DELETE FROM DOCGCLIN") + kLinesKey, keyValues(key));
  }
  if (!updated) {
    // A new document (or one removed meanwhile) takes the next free number,
    // read under the transaction's write lock so two hosts never share one.
    if (!document.stored || exists(key)) key.number = nextNumber(key.type, key.series, key.year);
    std::vector<Variant> insert = keyValues(key);
    insert.insert(insert.end(), values.begin(), values.end());
    connection_->execute(
        "INSERT INTO DOCGCCAB (TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, "
        "AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT, DATAVENC, TOTMERC, TOTDESC, TOTIVA, TOTDOC, VALPEND, "
        "EMPREP, NVIAS) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, -1, 1)",
        insert);
  }

  std::vector<SalesLine> kept;
  for (const auto& line : document.lines)
    if (!(line.isArticleLine() && line.article.empty())) kept.push_back(line);
  int numero = 0;
  for (const auto& line : kept) {
    std::vector<Variant> row = keyValues(key);
    row.insert(row.end(), {std::int32_t{++numero}, std::int32_t{static_cast<int>(line.type)}, line.article,
                           line.description, line.unit, line.quantity, line.quantity, line.unitPrice, line.unitPrice,
                           line.discount, line.discountValue, line.vatRate, line.total(), h.seller,
                           h.date.serial == 0 ? Variant::null() : dateText(h.date), line.origin});
    connection_->execute(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, "
        "QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, DESCVALOR, TAXAIVA, TOTLIN, VENDEDOR, DATA, ORDOC) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        row);
  }
  transaction.commit();

  h.key = key;
  document.lines = std::move(kept);
  for (auto& line : document.lines) line.state = LineState::Stored;
  document.stored = true;
}

}  // namespace quill::host
