#include "host/DocumentMapping.h"

namespace quill::host {

namespace {

std::optional<Date> dateOrNone(Date d) { return d.serial == 0 ? std::nullopt : std::optional<Date>(d); }

LineType lineTypeOf(int type) {
  return type == erp::kLineTypeComment   ? LineType::Comment
         : type == erp::kLineTypeService ? LineType::Service
                                         : LineType::Article;
}

}  // namespace

erp::LineValues toErpLine(const SalesLine& line) {
  erp::LineValues v;
  v.type = static_cast<int>(line.type);
  v.article = line.article;
  v.description = line.description;
  v.unit = line.unit;
  v.quantity = line.quantity;
  v.originalQuantity = line.quantity;
  v.unitPrice = line.unitPrice;
  v.enteredUnitPrice = line.unitPrice;
  v.discount = line.discount;
  v.discountValue = line.discountValue;
  v.vatRate = line.vatRate;
  v.originDocument = line.origin;
  return v;
}

ErpDocument toErpDocument(const SalesDocument& document) {
  const SalesHeader& h = document.header;
  ErpDocument erpDocument;
  erp::HeaderValues& v = erpDocument.header;
  v.key = h.key;
  v.date = dateOrNone(h.date);
  v.client = h.client;
  v.clientName = h.clientName;
  v.currency = h.currency;
  v.dispatch = h.dispatch;
  v.seller = h.seller;
  v.zone = h.zone;
  v.dueDate = dateOrNone(h.dueDate);
  v.classification = h.classification;
  v.inPreparation = true;
  for (const auto& line : document.lines)
    if (!(line.isArticleLine() && line.article.empty())) erpDocument.lines.push_back(toErpLine(line));
  return erpDocument;
}

SalesDocument fromErpDocument(const erp::DocumentStore::Document& stored) {
  const erp::HeaderValues& v = stored.header;
  SalesDocument doc;
  SalesHeader& h = doc.header;
  h.key = v.key;
  h.date = v.date.value_or(Date{});
  h.client = v.client;
  h.clientName = v.clientName;
  h.currency = v.currency;
  h.dispatch = v.dispatch;
  h.seller = v.seller;
  h.zone = v.zone;
  h.dueDate = v.dueDate.value_or(Date{});
  h.classification = v.classification;
  for (const auto& l : stored.lines) {
    SalesLine line;
    line.type = lineTypeOf(l.type);
    line.article = l.article;
    line.description = l.description;
    line.unit = l.unit;
    line.quantity = l.quantity;
    line.unitPrice = l.unitPrice;
    line.discount = l.discount;
    line.discountValue = l.discountValue;
    line.vatRate = l.vatRate;
    line.origin = l.originDocument;
    line.state = LineState::Stored;
    doc.lines.push_back(std::move(line));
  }
  doc.stored = true;
  doc.closed = stored.closed();
  return doc;
}

std::optional<SalesDocument> loadDocument(const erp::DocumentStore& store, const DocumentKey& key) {
  auto stored = store.load(key);
  if (!stored) return std::nullopt;
  return fromErpDocument(*stored);
}

void saveDocument(const erp::DocumentStore& store, SalesDocument& document) {
  ErpDocument erpDocument = toErpDocument(document);
  std::vector<erp::LineValues*> lines;
  for (auto& line : erpDocument.lines) lines.push_back(&line);
  store.save(erpDocument.header, lines,
             document.stored ? erp::DocumentStore::Write::Existing : erp::DocumentStore::Write::New);

  document.header.key = erpDocument.header.key;
  document.header.clientName = erpDocument.header.clientName;
  std::vector<SalesLine> kept;
  for (auto& line : document.lines) {
    if (line.isArticleLine() && line.article.empty()) continue;
    line.state = LineState::Stored;
    kept.push_back(std::move(line));
  }
  document.lines = std::move(kept);
  document.stored = true;
}

}  // namespace quill::host
