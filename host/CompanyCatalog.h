#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/SalesDocument.h"

namespace quill::sql {
class Connection;
class Recordset;
}  // namespace quill::sql

namespace quill::host {

struct ClientRecord {
  std::string code;  // as the company spells it
  std::string name;
  std::string currency;
  std::string dispatch;
  std::string seller;
  std::string zone;
  int paymentDays = 0;
  int retailPriceType = 0;  // TPPRE: which of the three retail prices
  bool inactive = false;
};

struct ArticleRecord {
  std::string code;
  std::string name;
  std::string saleUnit;  // UNVND: prices are per this unit
  std::string packingUnit;
  double packingFactor = 0;
  std::string transportUnit;
  double transportFactor = 0;
  std::array<double, 3> retail{};  // PVPSIVA, PVALSIVA, PVP3_SEM_IVA
  int vatIndex = 0;
  bool descriptionOnly = false;

  // True for the sale, packing and transport units (any case).
  bool sellsIn(std::string_view unit) const;
  // Sale units in one `unit`: 1 for the sale unit, FACTEMB or FACTTRA (the
  // transport unit wins when both match); a factor of 0 counts as 1.
  double unitFactor(std::string_view unit) const;
  // The unit as the article spells it (for a unit it sells in).
  std::string unitSpelling(std::string_view unit) const;
};

struct SeriesRecord {
  int number = 0;
  std::string description;  // SERIES.DESCR

  // As a list shows it: "2 - Série manual" (the number alone without a name).
  std::string caption() const;
};

struct DocumentTypeRecord {
  std::string code;
  std::string description;
  DocumentClassification classification;
};

// The ERP's own reference data of the open company, read where the host
// needs it: codes typed in the editor are checked here and come back as the
// company spells them. Codes compare without regard to case.
class CompanyCatalog {
 public:
  explicit CompanyCatalog(std::shared_ptr<sql::Connection> connection);

  std::optional<ClientRecord> client(std::string_view code) const;
  std::optional<ArticleRecord> article(std::string_view code) const;
  std::optional<DocumentTypeRecord> documentType(std::string_view code) const;
  // Sales documents to clients (management area 4, third party 2).
  std::vector<DocumentTypeRecord> salesDocumentTypes() const;
  std::vector<int> series(std::string_view documentType) const;
  std::vector<SeriesRecord> seriesList(std::string_view documentType) const;
  bool seriesExists(std::string_view documentType, int series) const;
  // Dispatch, currency and unit codes as spelt, or nothing when unknown.
  std::optional<std::string> dispatch(std::string_view code) const;
  std::vector<std::string> dispatchCodes() const;
  std::optional<std::string> currency(std::string_view code) const;
  std::optional<std::string> unit(std::string_view code) const;
  std::string nationalCurrency() const;
  // The national VAT regime's rate for an article's VAT index 1 to 4; 0
  // outside that range.
  double vatRate(int vatIndex) const;

  // What the editor's lookups list: the active clients and articles, code
  // and name, by code.
  std::shared_ptr<sql::Recordset> clientList() const;
  std::shared_ptr<sql::Recordset> articleList() const;

  // The price the ERP itself gives an article line before the extension has
  // a say: the client's retail price, for the line's unit.
  double defaultPrice(const ArticleRecord& article, const ClientRecord& client, std::string_view unit) const;

 private:
  std::optional<std::string> code(std::string_view table, std::string_view column, std::string_view code) const;

  std::shared_ptr<sql::Connection> connection_;
};

}  // namespace quill::host
