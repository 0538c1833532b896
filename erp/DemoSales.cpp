#include "erp/DemoSales.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "erp/CompanySchema.h"
#include "erp/CompoundDiscount.h"
#include "erp/DemoCodes.h"
#include "erp/DemoDates.h"
#include "erp/DemoModel.h"
#include "erp/DemoRandom.h"
#include "erp/DocumentTotals.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"

namespace quill::erp {

namespace {

struct DocumentType {
  std::string_view code;
  int areag, tpterc, tpoper, natconta, tipifstk, sinalct;
};
constexpr DocumentType kInvoice{demo::kInvoiceType, 4, 2, 2, 1, 2, 1};
constexpr DocumentType kCreditNote{demo::kCreditNoteType, 4, 2, 2, 1, 1, 2};
constexpr DocumentType kOrder{demo::kOrderType, 4, 2, 1, 0, 0, 0};

using Line = LineValues;

struct Header {
  const DocumentType* type = nullptr;
  int series = 0;
  int number = 0;
  int day = 0;
  const DemoClient* client = nullptr;
  std::string dispatch;
  bool inPreparation = false;
  bool cancelled = false;
};

double unitFactor(const DemoArticle& a, const std::string& unit) {
  double f = 1.0;
  if (!a.packingUnit.empty() && unit == a.packingUnit) f = a.packingFactor;
  if (!a.transportUnit.empty() && unit == a.transportUnit) f = a.transportFactor;
  return f == 0 ? 1.0 : f;
}

class Writer {
 public:
  Writer(sql::Database& db, const DemoModel& model)
      : model_(model),
        header_(db.prepare(
            "INSERT INTO DOCGCCAB (TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, "
            "EMPREP, AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT, NVIAS, DATAVENC, TOTMERC, TOTDESC, TOTIVA, "
            "TOTDOC, VALPEND) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, "
            "?19, ?20, ?21, ?22, ?23, ?24, ?25)")),
        line_(db.prepare(
            "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, "
            "QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, DESCVALOR, TAXAIVA, TOTLIN, VENDEDOR, DATA, ORDOC) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?10, ?11, ?11, ?12, ?13, ?14, ?15, ?16, ?17, '')")),
        account_(db.prepare(
            "INSERT INTO CCCLIENTES (TPDOC, SERIE, NNUMDOC, ANO, CLIENTE, DATA, DATAVENC, VALOR, VALPEND, DATALIQ) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)")),
        lastDay_(DemoDates::parse(demo::kDocumentsTo)) {
    for (std::size_t i = 0; i < model.articles.size(); ++i) articleIndex_[model.articles[i].code] = i;
  }

  std::size_t article(std::string_view code) const {
    auto it = articleIndex_.find(std::string(code));
    if (it == articleIndex_.end()) throw std::logic_error("demo article missing");
    return it->second;
  }

  // An article line priced as the extension prices it for this client and date.
  Line articleLine(std::size_t index, const DemoClient& client, int day, const std::string& unit,
                   double quantity) const {
    const auto& a = model_.articles[index];
    double factor = unitFactor(a, unit);
    int level = client.retailType >= 0 && client.retailType <= 2 ? client.retailType : 0;
    auto retail = [&] {
      if (a.scheduled)
        return day >= DemoDates::parse(a.activation) ? a.scheduledPrices[level] : a.scheduledHistory[level];
      return a.retail[level];
    };

    Line line;
    line.article = a.code;
    line.description = a.name;
    line.unit = unit;
    line.quantity = quantity;
    line.vatRate = model_.vatRate(a.vatIndex);
    double perKg = 0;
    if (a.fixedPrice && client.priceLine > 0) {
      const DemoPrice* p = model_.price(index, client.priceLine);
      if (p) perKg = day >= DemoDates::parse(p->start) ? p->price : p->previous;
      if (perKg <= 0) perKg = retail();
    } else {
      perKg = retail();
      double perUnit = a.fixedPrice ? 0.0 : client.groupDiscount(a.group);
      if (perUnit <= 0 && !a.fixedPrice) perUnit = client.perKgDiscount.value_or(0.0);
      if (perUnit > 0 && perKg > 0) {
        line.discountValue = roundPrice(perUnit * factor);
        double percent = roundToCents(line.discountValue / (perKg * factor) * 100.0);
        if (percent >= 100) percent = 0;
        line.discount = fmt::format("{:.2f}", percent);
      } else if (compoundDiscountPercent(client.compoundDiscount)) {
        // A client's compound discount the ERP would refuse ("10+abc") is not
        // copied into its documents.
        line.discount = client.compoundDiscount;
      }
    }
    line.unitPrice = roundPrice(perKg * factor);
    return line;
  }

  Line serviceLine(std::string_view code, double price, double quantity) const {
    const auto& a = model_.articles[article(code)];
    Line line;
    line.type = kLineTypeService;
    line.article = a.code;
    line.description = a.name;
    line.unit = a.saleUnit;
    line.quantity = quantity;
    line.unitPrice = price;
    line.vatRate = model_.vatRate(a.vatIndex);
    return line;
  }

  static Line commentLine(std::string text) {
    Line line;
    line.type = kLineTypeComment;
    line.description = std::move(text);
    return line;
  }

  // Writes a document with its totals computed as the ERP computes them.
  void write(const Header& h, std::vector<Line> lines, bool pending) {
    const DemoClient& c = *h.client;
    std::string date = DemoDates::text(h.day);
    int year = DemoDates::year(h.day);
    std::vector<LineValues*> values;
    for (auto& l : lines) values.push_back(&l);
    const DocumentTotals totals = DocumentTotals::compute(values);
    const DocumentType& t = *h.type;
    const int due = h.day + c.paymentDays;
    // A closed, uncancelled document posted to the client's account is an
    // open item of it. The payments follow the document's number, not the
    // generator's chance, so that they leave every other row as it was: a
    // pending invoice whose number is a multiple of 5 had 40 % paid some days
    // after its date (when that day is within the period); any other posted
    // document was settled around its due date, within the period.
    const bool posted = t.natconta == 1 && !h.inPreparation && !h.cancelled;
    const double total = totals.total;
    double pendingValue = pending ? total : 0.0;
    std::optional<int> paid;
    if (posted && pending && h.number % 5 == 0 && h.day + 10 + h.number % 20 <= lastDay_) {
      paid = h.day + 10 + h.number % 20;
      pendingValue = roundToCents(total - roundToCents(total * 0.4));
    } else if (posted && !pending) {
      paid = std::clamp(due + h.number % 21 - 10, h.day, std::max(h.day, lastDay_));
    }
    header_
        .bindAll(t.code, h.series, h.number, year, date, c.code, c.name, demo::kNationalCurrency, h.dispatch, c.seller,
                 c.zone, h.inPreparation ? -1 : 0, t.areag, t.tpterc, t.tpoper, t.natconta, t.tipifstk, t.sinalct,
                 h.cancelled ? -1 : 1, DemoDates::text(due), totals.goods, totals.discounts, totals.vat, totals.total,
                 pendingValue)
        .run();
    if (posted) {
      const double sign = t.sinalct == 2 ? -1.0 : 1.0;
      account_.bindAll(t.code, h.series, h.number, year, c.code, date, DemoDates::text(due), sign * total,
                       sign * pendingValue);
      if (paid)
        account_.bind(10, DemoDates::text(*paid));
      else
        account_.bindNull(10);
      account_.run();
    }
    int number = 0;
    for (const auto& l : lines) {
      line_
          .bindAll(t.code, h.series, h.number, year, ++number, l.type, l.article, l.description, l.unit, l.quantity,
                   l.unitPrice, l.discount, l.discountValue, l.vatRate, l.netTotal, c.seller, date)
          .run();
    }
    written_ += static_cast<int>(lines.size());
  }

  int written() const { return written_; }

 private:
  const DemoModel& model_;
  sql::Statement header_;
  sql::Statement line_;
  sql::Statement account_;
  int lastDay_;
  std::map<std::string, std::size_t> articleIndex_;
  int written_ = 0;
};

const DemoClient& client(const DemoModel& model, std::string_view code) {
  for (const auto& c : model.clients)
    if (c.code == code) return c;
  throw std::logic_error("demo client missing");
}

// The documents of DemoCodes.h.
void writeKnownDocuments(Writer& w, const DemoModel& model) {
  int day = DemoDates::parse(demo::kDocumentsFrom);
  std::string allowance(demo::kAllowanceDispatch);
  const auto& allowanceClient = client(model, demo::kAllowanceClient);
  auto fixed = w.article(demo::kFixedPriceArticle);
  auto feed = w.article(demo::kGroupDiscountArticle);
  auto ordinary = w.article(demo::kOrdinaryArticle);

  Header h{&kInvoice, demo::kSignedInvoice.series, demo::kSignedInvoice.number, day, &allowanceClient, allowance};
  w.write(h,
          {w.articleLine(fixed, allowanceClient, day, "SC", 40), w.articleLine(feed, allowanceClient, day, "PAL", 1),
           w.articleLine(ordinary, allowanceClient, day, "KG", 250)},
          false);

  h.number = demo::kInvoiceInPreparation.number;
  h.inPreparation = true;
  w.write(h,
          {w.articleLine(fixed, allowanceClient, day, "SC", 20), w.articleLine(feed, allowanceClient, day, "PAL", 2),
           w.articleLine(ordinary, allowanceClient, day, "KG", 500),
           w.articleLine(w.article(demo::kZeroFactorArticle), allowanceClient, day, "SC", 10)},
          true);

  h = Header{&kInvoice, demo::kSeriesZeroInvoice.series, demo::kSeriesZeroInvoice.number, day, &allowanceClient,
             allowance};
  w.write(h,
          {w.articleLine(w.article(demo::kFuturePriceArticle), allowanceClient, day, "PAL", 1),
           w.articleLine(feed, allowanceClient, day, "SC", 30)},
          true);

  const auto& allRules = client(model, demo::kAllRulesClient);
  h = Header{&kInvoice, demo::kInvoiceWithAllowanceLine.series, demo::kInvoiceWithAllowanceLine.number, day, &allRules,
             allowance};
  // The allowance line holds an out-of-date value, a quantity and discounts
  // that a correction must replace.
  auto stale = w.serviceLine(demo::kAllowanceArticle, 12.0, 2);
  stale.discount = "5";
  stale.discountValue = 1.0;
  w.write(h, {w.articleLine(fixed, allRules, day, "PAL", 2), w.articleLine(feed, allRules, day, "SC", 40), stale},
          true);

  h = Header{&kInvoice,
             demo::kInvoiceWithoutArticleLines.series,
             demo::kInvoiceWithoutArticleLines.number,
             day,
             &allowanceClient,
             allowance};
  auto text = w.articleLine(w.article(demo::kDescriptionOnlyArticle), allowanceClient, day, "UN", 1);
  w.write(h, {Writer::commentLine("Entrega combinada para a próxima semana"), text}, true);

  const auto& groupClient = client(model, demo::kGroupDiscountClient);
  h = Header{&kCreditNote,
             demo::kCreditNote.series,
             demo::kCreditNote.number,
             day,
             &groupClient,
             std::string(demo::kNoAllowanceDispatch)};
  w.write(h, {w.articleLine(feed, groupClient, day, "SC", 4), w.articleLine(fixed, groupClient, day, "SC", 2)}, false);

  const auto& lineClient = client(model, demo::kPriceLineClient);
  h = Header{&kOrder, demo::kOrder.series, demo::kOrder.number, day, &lineClient, lineClient.dispatch};
  w.write(h, {w.articleLine(fixed, lineClient, day, "PAL", 1)}, false);
}

double quantityFor(DemoRandom& random, const std::string& unit, bool creditNote) {
  if (unit == "KG") return creditNote ? random.between(1, 10) * 5.0 : random.between(1, 80) * 25.0;
  if (unit == "SC") return creditNote ? random.between(1, 10) : random.between(1, 120);
  if (unit == "TON") return creditNote ? 1.0 : random.between(1, 28);
  return creditNote ? 1.0 : random.between(1, unit == "PAL" ? 12 : 10);
}

void writeGeneratedDocuments(Writer& w, const DemoModel& model, DemoRandom& random) {
  std::vector<std::size_t> articles;
  for (std::size_t i = 0; i < model.articles.size(); ++i)
    if (model.articles[i].sellable()) articles.push_back(i);
  std::vector<const DemoClient*> clients;
  for (const auto& c : model.clients)
    if (!c.inactive) clients.push_back(&c);

  int first = model.scale.firstDocumentYear == demo::kDocumentYear
                  ? DemoDates::parse(demo::kDocumentsFrom)
                  : DemoDates::day(model.scale.firstDocumentYear, model.scale.firstDocumentMonth, 2);
  int last = DemoDates::parse(demo::kDocumentsTo);
  // Numbers follow dates within a year, so nothing is dated in the
  // documents' year before the well-known documents that carry its first
  // numbers.
  int yearStart = DemoDates::day(demo::kDocumentYear, 1, 1);
  int knownStart = DemoDates::parse(demo::kDocumentsFrom);
  std::vector<int> days;
  for (int d = first; d <= last; ++d)
    if (!DemoDates::weekend(d) && (d < yearStart || d >= knownStart)) days.push_back(d);

  bool large = model.scale.documentLines > 100000;
  int minLines = large ? 5 : 1, maxLines = large ? 15 : 7;
  double estimatedDocuments = static_cast<double>(model.scale.documentLines) / ((minLines + maxLines) / 2.0);

  // Next number per type, series and year, after the well-known documents.
  std::map<std::tuple<std::string_view, int, int>, int> numbers;
  for (const auto& key :
       {demo::kSignedInvoice, demo::kInvoiceInPreparation, demo::kSeriesZeroInvoice, demo::kInvoiceWithAllowanceLine,
        demo::kInvoiceWithoutArticleLines, demo::kCreditNote, demo::kOrder}) {
    int& n = numbers[{key.type, key.series, key.year}];
    n = std::max(n, key.number);
  }

  for (int document = 0; w.written() < model.scale.documentLines; ++document) {
    auto slot = static_cast<std::size_t>(document / estimatedDocuments * static_cast<double>(days.size()));
    int day = days[std::min(slot, days.size() - 1)];

    Header h;
    int kind = random.between(0, 99);
    h.type = kind < 80 ? &kInvoice : kind < 88 ? &kCreditNote : &kOrder;
    int s = random.between(0, 99);
    if (h.type == &kInvoice)
      h.series = s < 85 ? demo::kSignedSeries : s < 95 ? demo::kUnsignedSeriesZero : demo::kUnsignedSeries;
    else if (h.type == &kCreditNote)
      h.series = s < 90 ? demo::kSignedSeries : demo::kUnsignedSeriesZero;
    else
      h.series = demo::kUnsignedSeriesZero;
    h.number = ++numbers[{h.type->code, h.series, DemoDates::year(day)}];
    h.day = day;
    h.client = random.pick(clients);
    h.dispatch = h.client->dispatch;
    bool recent = last - day < 7;
    h.inPreparation = h.type != &kOrder && (recent ? random.chance(0.5) : random.chance(0.01));
    h.cancelled = random.chance(0.02);

    bool creditNote = h.type == &kCreditNote;
    int count = creditNote ? random.between(1, 3) : random.between(minLines, maxLines);
    count = std::min(count, model.scale.documentLines - w.written());
    std::vector<Line> lines;
    for (int i = 0; i < count; ++i) {
      std::size_t index = random.pick(articles);
      const auto& a = model.articles[index];
      int u = random.between(0, 99);
      std::string unit = a.saleUnit;
      if (u >= 40 && !a.packingUnit.empty()) unit = a.packingUnit;
      if (u >= 85 && !a.transportUnit.empty()) unit = a.transportUnit;
      double quantity = quantityFor(random, unit, creditNote);
      lines.push_back(w.articleLine(index, *h.client, day, unit, quantity));
    }
    bool pending = h.type == &kInvoice && !h.cancelled && random.chance(last - day <= 60 ? 0.7 : 0.1);
    w.write(h, lines, pending);
  }
}

}  // namespace

void DemoSales::write(sql::Database& db, const DemoModel& model, DemoRandom& random) {
  Writer writer(db, model);
  writeKnownDocuments(writer, model);
  writeGeneratedDocuments(writer, model, random);
}

}  // namespace quill::erp
