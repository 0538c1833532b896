#include "erp/DocumentStore.h"

#include <fmt/format.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "erp/DocumentTotals.h"
#include "erp/ErpError.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/Transaction.h"

namespace quill::erp {

namespace {

using sql::fieldDate;
using sql::fieldDouble;
using sql::fieldLong;
using sql::fieldText;

constexpr const char* kHeaderKey = " WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?";
constexpr const char* kLinesKey = " WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?";

std::vector<Variant> keyValues(const DocumentKey& key) {
  return {Variant(key.type), Variant(key.series), Variant(key.number), Variant(key.year)};
}

Variant dateValue(const std::optional<Date>& d) { return d ? Variant(*d) : Variant::null(); }

DocumentKey keyOf(const sql::Recordset& rs) {
  return {fieldText(rs, "TPDOC"), fieldLong(rs, "SERIE"), fieldLong(rs, "NNUMDOC"), fieldLong(rs, "ANO")};
}

std::pair<bool, bool> seriesFlags(sql::Connection& connection, const DocumentKey& key) {
  auto series = connection.query("SELECT ASSINADA, CERTIFICADA FROM SERIES WHERE TPDOC = ? AND SERIE = ?",
                                 {Variant(key.type), Variant(key.series)});
  if (series->eof()) return {false, false};
  return {fieldLong(*series, "ASSINADA") != 0, fieldLong(*series, "CERTIFICADA") != 0};
}

}  // namespace

bool isClosedDocument(bool seriesSigned, bool seriesCertified, bool inPreparation) {
  return seriesSigned && seriesCertified && !inPreparation;
}

std::string closedDocumentMessage(const DocumentKey& key) {
  return fmt::format(
      "O documento {} {}/{} de {} pertence a uma série assinada e certificada e já não pode ser "
      "alterado.",
      key.type, key.series, key.number, key.year);
}

bool DocumentStore::exists(const DocumentKey& key) const {
  return !connection_.query(std::string("SELECT NNUMDOC FROM DOCGCCAB") + kHeaderKey, keyValues(key))->eof();
}

std::int32_t DocumentStore::nextNumber(std::string_view type, std::int32_t series, std::int32_t year) const {
  auto rs = connection_.query(
      "SELECT COALESCE(MAX(NNUMDOC), 0) + 1 AS PROXIMO FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND ANO = ?",
      {Variant(type), Variant(series), Variant(year)});
  return fieldLong(*rs, "PROXIMO");
}

std::vector<DocumentSummary> DocumentStore::recent(int limit) const {
  std::vector<DocumentSummary> list;
  auto rs = connection_.query(
      "SELECT TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, TOTDOC FROM DOCGCCAB WHERE AREAG = 4 "
      "ORDER BY DATA DESC, ANO DESC, NNUMDOC DESC LIMIT ?",
      {Variant(std::int32_t{limit})});
  for (; !rs->eof(); rs->moveNext())
    list.push_back({keyOf(*rs), fieldDate(*rs, "DATA"), fieldText(*rs, "TERCEIRO"), fieldText(*rs, "NOME"),
                    fieldDouble(*rs, "TOTDOC")});
  return list;
}

std::optional<DocumentStore::Document> DocumentStore::load(const DocumentKey& key) const {
  auto head = connection_.query(
      std::string("SELECT TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, "
                  "DATAVENC, AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT, EMPREP, TOTMERC, TOTDESC, TOTIVA, "
                  "TOTDOC, VALPEND FROM DOCGCCAB") +
          kHeaderKey,
      keyValues(key));
  if (head->eof()) return std::nullopt;

  Document doc;
  HeaderValues& h = doc.header;
  h.key = keyOf(*head);
  h.date = fieldDate(*head, "DATA");
  h.client = fieldText(*head, "TERCEIRO");
  h.clientName = fieldText(*head, "NOME");
  h.currency = fieldText(*head, "MOEDA");
  h.dispatch = fieldText(*head, "EXPEDICAO");
  h.seller = fieldText(*head, "VENDEDOR");
  h.zone = fieldText(*head, "ZONA");
  h.dueDate = fieldDate(*head, "DATAVENC");
  h.classification = {fieldLong(*head, "AREAG"),    fieldLong(*head, "TPTERC"),   fieldLong(*head, "TPOPER"),
                      fieldLong(*head, "NATCONTA"), fieldLong(*head, "TIPIFSTK"), fieldLong(*head, "SINALCT")};
  h.inPreparation = fieldLong(*head, "EMPREP") == -1;
  h.goodsTotal = fieldDouble(*head, "TOTMERC");
  h.discountTotal = fieldDouble(*head, "TOTDESC");
  h.vatTotal = fieldDouble(*head, "TOTIVA");
  h.documentTotal = fieldDouble(*head, "TOTDOC");
  h.pendingValue = fieldDouble(*head, "VALPEND");

  std::tie(doc.seriesSigned, doc.seriesCertified) = seriesFlags(connection_, h.key);

  auto lines = connection_.query(
      std::string("SELECT NUMLIN, SERIE, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, QUANTORIG, PRECUNIT, PRECUNITINT, "
                  "DESCONTO, DESCVALOR, TAXAIVA, TOTLIN, VENDEDOR, DATA, ORDOC FROM DOCGCLIN") +
          kLinesKey + " ORDER BY NUMLIN",
      keyValues(h.key));
  for (; !lines->eof(); lines->moveNext()) {
    LineValues l;
    l.number = fieldLong(*lines, "NUMLIN");
    l.series = fieldLong(*lines, "SERIE");
    l.type = fieldLong(*lines, "TIPOLIN");
    l.article = fieldText(*lines, "ARTIGO");
    l.description = fieldText(*lines, "DESCR");
    l.unit = fieldText(*lines, "UNIDADE");
    l.quantity = fieldDouble(*lines, "QUANT");
    l.originalQuantity = fieldDouble(*lines, "QUANTORIG");
    l.unitPrice = fieldDouble(*lines, "PRECUNIT");
    l.enteredUnitPrice = fieldDouble(*lines, "PRECUNITINT");
    l.discount = fieldText(*lines, "DESCONTO");
    l.discountValue = fieldDouble(*lines, "DESCVALOR");
    l.vatRate = fieldDouble(*lines, "TAXAIVA");
    l.netTotal = fieldDouble(*lines, "TOTLIN");
    l.seller = fieldText(*lines, "VENDEDOR");
    l.date = fieldDate(*lines, "DATA");
    l.originDocument = fieldText(*lines, "ORDOC");
    doc.lines.push_back(std::move(l));
  }
  return doc;
}

void DocumentStore::save(HeaderValues& header, const std::vector<LineValues*>& lines, Write write) const {
  // Refuses a discount the ERP does not read before anything is written.
  const DocumentTotals totals = DocumentTotals::compute(lines);

  std::string clientName = header.clientName;
  auto client = connection_.query("SELECT NOME FROM CLIENTES WHERE CODIGO = ?", {Variant(header.client)});
  if (!client->eof()) clientName = fieldText(*client, "NOME");

  // On a server two users may save at the same moment: a new document that
  // finds its number taken meanwhile, or a save that meets another's lock or
  // deadlock, wrote nothing and is made again, a few times, before its error
  // passes on.
  for (int attempt = 1;; ++attempt) {
    try {
      saveOnce(header, lines, write, totals, clientName);
      return;
    } catch (const AutomationError& e) {
      bool numberTaken = write == Write::New && e.number() == sql::sqlerr::IntegrityViolation;
      if (attempt == kSaveAttempts || !(numberTaken || sql::isTryAgain(e))) throw;
      std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
    }
  }
}

void DocumentStore::saveOnce(HeaderValues& header, const std::vector<LineValues*>& lines, Write write,
                             const DocumentTotals& totals, const std::string& clientName) const {
  sql::Transaction transaction(connection_);
  // The key changes only once everything is written: a failed save leaves
  // the caller's document as it was.
  DocumentKey key = header.key;
  std::optional<double> pending;
  if (write == Write::Existing) {
    auto stored =
        connection_.query(std::string("SELECT TOTDOC, VALPEND, EMPREP FROM DOCGCCAB") + kHeaderKey, keyValues(key));
    if (!stored->eof()) {
      const auto [seriesSigned, seriesCertified] = seriesFlags(connection_, key);
      if (isClosedDocument(seriesSigned, seriesCertified, fieldLong(*stored, "EMPREP") == -1))
        throw AutomationError(kDocumentClosed, "ERP", closedDocumentMessage(key));
      // Whatever was paid stays paid: the amount owed moves with the total.
      double owed = fieldDouble(*stored, "VALPEND");
      pending = owed == 0 ? 0.0 : roundToCents(owed + totals.total - fieldDouble(*stored, "TOTDOC"));
    }
  } else {
    key.number = nextNumber(key.type, key.series, key.year);
  }

  const auto& c = header.classification;
  std::vector<Variant> values = {dateValue(header.date),
                                 Variant(header.client),
                                 Variant(clientName),
                                 Variant(header.currency),
                                 Variant(header.dispatch),
                                 Variant(header.seller),
                                 Variant(header.zone),
                                 Variant(std::int32_t{c.managementArea}),
                                 Variant(std::int32_t{c.thirdPartyType}),
                                 Variant(std::int32_t{c.operationType}),
                                 Variant(std::int32_t{c.accountNature}),
                                 Variant(std::int32_t{c.stockType}),
                                 Variant(std::int32_t{c.accountSign}),
                                 dateValue(header.dueDate),
                                 Variant(totals.goods),
                                 Variant(totals.discounts),
                                 Variant(totals.vat),
                                 Variant(totals.total),
                                 Variant(pending.value_or(totals.total))};
  if (pending) {
    std::vector<Variant> update = values;
    for (auto& k : keyValues(key)) update.push_back(std::move(k));
    connection_.execute(
        std::string("UPDATE DOCGCCAB SET DATA = ?, TERCEIRO = ?, NOME = ?, MOEDA = ?, EXPEDICAO = ?, VENDEDOR = ?, "
                    "ZONA = ?, AREAG = ?, TPTERC = ?, TPOPER = ?, NATCONTA = ?, TIPIFSTK = ?, SINALCT = ?, "
                    "DATAVENC = ?, TOTMERC = ?, TOTDESC = ?, TOTIVA = ?, TOTDOC = ?, VALPEND = ?") +
            kHeaderKey,
        update);
    connection_.execute(std::string("DELETE FROM DOCGCLIN") + kLinesKey, keyValues(key));
  } else {
    std::vector<Variant> insert = keyValues(key);
    insert.insert(insert.end(), values.begin(), values.end());
    insert.push_back(Variant(std::int32_t{header.inPreparation ? -1 : 0}));
    connection_.execute(
        "INSERT INTO DOCGCCAB (TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, "
        "AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT, DATAVENC, TOTMERC, TOTDESC, TOTIVA, TOTDOC, VALPEND, "
        "EMPREP, NVIAS) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)",
        insert);
  }

  const auto k = keyValues(key);
  std::int32_t number = 0;
  for (const LineValues* line : lines) {
    connection_.execute(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, "
        "QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, DESCVALOR, TAXAIVA, TOTLIN, VENDEDOR, DATA, ORDOC) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {k[0],
         k[1],
         k[2],
         k[3],
         Variant(++number),
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
  transaction.commit();

  number = 0;
  for (LineValues* line : lines) {
    line->number = ++number;
    if (line->seller.empty()) line->seller = header.seller;
    if (!line->date) line->date = header.date;
  }
  header.key = key;
  header.clientName = clientName;
  header.goodsTotal = totals.goods;
  header.discountTotal = totals.discounts;
  header.vatTotal = totals.vat;
  header.documentTotal = totals.total;
  header.pendingValue = pending.value_or(totals.total);
}

}  // namespace quill::erp
