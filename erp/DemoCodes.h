#pragma once

#include <string>
#include <string_view>

#include "erp/DocumentKey.h"

// Well-known rows of the demo company. Tests, benchmarks and the host refer
// to these names, never to literal codes; every row named here exists in
// both sizes of the demo company with the properties its name promises
// (tests/erp/demo_codes_test.cpp checks them).
namespace quill::erp::demo {

// ---- Installation and company ------------------------------------------
inline constexpr std::string_view kCompanyCode = "DEMO";
inline constexpr std::string_view kCompanyName = "Cereais do Vale, Lda.";
// The database file is "<kDatabaseName>.db" in the installation's data folder.
inline constexpr std::string_view kDatabaseName = "QUILLDEMO";
// The ERP user registered with the demo company.
inline constexpr std::string_view kLogin = "quill";
inline constexpr std::string_view kPassword = "quill";

// ---- Company parameters --------------------------------------------------
inline constexpr std::string_view kNationalCurrency = "EUR";
inline constexpr std::string_view kOtherCurrency = "USD";    // exists, a few prices in it
inline constexpr std::string_view kUnknownCurrency = "XXX";  // no such currency
inline constexpr std::string_view kNationalVatRegime = "CONT";
inline constexpr double kNationalVatRates[4] = {6.0, 13.0, 23.0, 0.0};  // TX1..TX4
inline constexpr std::string_view kOtherVatRegime = "RAM";
inline constexpr bool kLinkedToAccounting = true;  // PARAMETROS.LIGACTB = -1

// ---- Dates ---------------------------------------------------------------
// Sales documents of the demo size are dated within this period; the large
// size starts a year earlier.
inline constexpr std::string_view kDocumentsFrom = "2026-01-05";
inline constexpr std::string_view kDocumentsTo = "2026-06-30";
inline constexpr int kDocumentYear = 2026;
// A date inside the period, for documents a test makes up.
inline constexpr std::string_view kDocumentDate = "2026-03-16";
// Start date of the current prices of the well-known price rows (before every
// document of either size).
inline constexpr std::string_view kPastPriceStart = "2024-10-01";
// Start date of the "future" prices: after every demo document.
inline constexpr std::string_view kFuturePriceStart = "2027-01-01";
// Activation date of the scheduled retail prices already in force.
inline constexpr std::string_view kPastActivation = "2026-01-01";

// ---- Price lines ---------------------------------------------------------
inline constexpr int kPriceLine = 1;        // "Revenda"
inline constexpr int kSecondPriceLine = 2;  // "Grossistas"
// Prices exist for this line but LINPRC has no row for it.
inline constexpr int kUndefinedPriceLine = 9;
// A price line number that has neither a LINPRC row nor prices.
inline constexpr int kUnknownPriceLine = 77;

// ---- Groups, sellers, zones, portfolios ----------------------------------
inline constexpr std::string_view kFeedGroup = "RACAVE";      // Rações para Aves
inline constexpr std::string_view kCerealGroup = "CEREAI";    // Cereais
inline constexpr std::string_view kPetFoodGroup = "PETFOO";   // Alimentos para Cães e Gatos
inline constexpr std::string_view kServicesGroup = "SERVIC";  // Serviços
inline constexpr std::string_view kSeller = "V01";            // commission rates for every group
inline constexpr std::string_view kSellerWithoutRates = "V07";
// Two sellers with the same name.
inline constexpr std::string_view kNamesakeSeller1 = "V05";
inline constexpr std::string_view kNamesakeSeller2 = "V06";
inline constexpr std::string_view kZone = "CENTRO";
inline constexpr std::string_view kActivePortfolio = "AGRO";
inline constexpr std::string_view kInactivePortfolio = "ANTIGA";  // ACTIVO = 0

// ---- Dispatch codes ------------------------------------------------------
inline constexpr std::string_view kAllowanceDispatch = "CLIENTE";          // U_EXPEDIR.ABONOFRETES = -1
inline constexpr std::string_view kNoAllowanceDispatch = "PROPRIA";        // U_EXPEDIR.ABONOFRETES = 0
inline constexpr std::string_view kDispatchWithoutUserFields = "CORREIO";  // no U_EXPEDIR row

// ---- Units -----------------------------------------------------------------
inline constexpr std::string_view kSaleUnit = "KG";
inline constexpr std::string_view kSackUnit = "SC";
inline constexpr std::string_view kPalletUnit = "PAL";

// ---- Articles ------------------------------------------------------------
// Fixed-price article (U_ARTIGOS.PRECOFIXO = -1) of the cereal group, sold by
// kg in sacks of 25 kg (SC, FACTEMB 25) and pallets of 1000 kg (PAL,
// FACTTRA 1000). PRECOS rows in every defined price line (EUR) starting at
// kPastPriceStart with a non-zero previous price, plus rows for line 0, for
// kUndefinedPriceLine and for kOtherCurrency in kPriceLine.
inline constexpr std::string_view kFixedPriceArticle = "MIL001";
inline constexpr double kFixedPriceArticlePackingFactor = 25.0;
inline constexpr double kFixedPriceArticleTransportFactor = 1000.0;
// Fixed-price article whose price in kPriceLine starts at kFuturePriceStart
// (after every document); BUTHIST, the previous price, is not 0.
inline constexpr std::string_view kFuturePriceArticle = "MIL002";
// Fixed-price article whose price in kPriceLine starts at kFuturePriceStart
// and whose previous price BUTHIST is 0; no scheduled retail price.
inline constexpr std::string_view kFuturePriceZeroHistoryArticle = "TRI001";
// Fixed-price article without any PRECOS row.
inline constexpr std::string_view kFixedPriceArticleWithoutPrice = "CEV001";
// Ordinary article of kFeedGroup (PRECOFIXO = 0), for the group discounts.
inline constexpr std::string_view kGroupDiscountArticle = "RAV001";
// Article with a scheduled retail price (U_QOR_PRECOS) active since
// kPastActivation, different from its ERP retail prices.
inline constexpr std::string_view kScheduledPriceArticle = "PET001";
// Article with a scheduled retail price activated at kFuturePriceStart.
inline constexpr std::string_view kFutureScheduledPriceArticle = "PET002";
// Ordinary article: not fixed-price, no scheduled price, group "ARROZ" on
// which no demo client has a group discount.
inline constexpr std::string_view kOrdinaryArticle = "ARR001";
// Description-only item (ARTOUDES = -1).
inline constexpr std::string_view kDescriptionOnlyArticle = "OBS001";
inline constexpr std::string_view kInactiveArticle = "RAV099";  // INACTIVO = -1
// Article without a U_ARTIGOS row.
inline constexpr std::string_view kArticleWithoutUserFields = "SAL001";
// Article whose VAT index ARTIGOS.IVA is 0 (outside 1 to 4).
inline constexpr std::string_view kArticleOutsideVatIndexes = "ADU001";
// Article with a packing unit and a transport unit whose factors are 0.
inline constexpr std::string_view kZeroFactorArticle = "FAR001";
// The freight-allowance article.
inline constexpr std::string_view kAllowanceArticle = "ABFRETE";
inline constexpr std::string_view kAllowanceArticleName = "Abono de Frete";
// No article has this code.
inline constexpr std::string_view kUnknownArticle = "NAOEXISTE";

// ---- Clients -------------------------------------------------------------
// Client of kPriceLine (TPPRECO 1): no discounts, no allowance.
inline constexpr std::string_view kPriceLineClient = "C00001";
inline constexpr std::string_view kSecondPriceLineClient = "C00002";  // TPPRECO 2
// Group discount on kFeedGroup (kGroupDiscount per sale unit) and on
// kCerealGroup; no price line, no discount per kg.
inline constexpr std::string_view kGroupDiscountClient = "C00003";
inline constexpr double kGroupDiscount = 0.015;
// Discount per kg (kPerKgDiscount), no group discounts, no price line.
inline constexpr std::string_view kPerKgDiscountClient = "C00004";
inline constexpr double kPerKgDiscount = 0.010;
// Freight allowance per tonne (kAllowancePerTonne), no price line.
inline constexpr std::string_view kAllowanceClient = "C00005";
inline constexpr double kAllowancePerTonne = 7.5;
// U_CLIENTES row with ABNFRTPORTN 0 and DSCVALPORKG 0.
inline constexpr std::string_view kZeroAllowanceClient = "C00006";
// No U_CLIENTES row.
inline constexpr std::string_view kClientWithoutUserFields = "C00007";
// Its pending documents count as overdue kToleranceDays after their due
// date (U_CLIENTES.DIASTOLERANCIA); it has closed invoices, some of them
// unsettled.
inline constexpr std::string_view kToleranceClient = "C00003";
inline constexpr int kToleranceDays = 30;
// Ordinary client: TPPRECO 0, TPPRE 0, no discounts of any kind.
inline constexpr std::string_view kRetailClient = "C00008";
// Every rule at once: price line kPriceLine, group discount on kFeedGroup
// (kAllRulesGroupDiscount), discount per kg (kAllRulesPerKgDiscount) and a
// freight allowance per tonne (kAllRulesAllowancePerTonne).
inline constexpr std::string_view kAllRulesClient = "C00010";
inline constexpr double kAllRulesGroupDiscount = 0.012;
inline constexpr double kAllRulesPerKgDiscount = 0.008;
inline constexpr double kAllRulesAllowancePerTonne = 6.0;
inline constexpr std::string_view kSecondRetailPriceClient = "C00011";  // TPPRE 1
inline constexpr std::string_view kThirdRetailPriceClient = "C00012";   // TPPRE 2
inline constexpr std::string_view kOddRetailPriceClient = "C00013";     // TPPRE 5, counts as 0
// Compound discounts in DESCCOMP.
inline constexpr std::string_view kCompoundDiscountClient = "C00014";    // "10+5"
inline constexpr std::string_view kDoublePlusDiscountClient = "C00015";  // "10++5"
inline constexpr std::string_view kMalformedDiscountClient = "C00016";   // "10+abc"
inline constexpr std::string_view kInactiveClient = "C00017";            // INACTIVO = -1
// Exactly five and exactly six groups with a non-zero discount.
inline constexpr std::string_view kFiveGroupsClient = "C00018";
inline constexpr std::string_view kSixGroupsClient = "C00019";
// Group-discount rows whose discounts are all 0.
inline constexpr std::string_view kZeroDiscountsClient = "C00020";
// Client of kUndefinedPriceLine.
inline constexpr std::string_view kUndefinedPriceLineClient = "C00021";
// A code with a single quote in it, and a name with one.
inline constexpr std::string_view kQuotedCodeClient = "D'OURO";
inline constexpr std::string_view kUnknownClient = "C99999";

// ---- Document types and series -------------------------------------------
inline constexpr std::string_view kInvoiceType = "FT";
inline constexpr std::string_view kCreditNoteType = "NC";
inline constexpr std::string_view kOrderType = "ENC";
// The document types that concern the freight allowance (the INI's TPDOC).
inline constexpr std::string_view kAllowanceDocumentTypes = "FT,NC";
inline constexpr int kUnsignedSeriesZero = 0;  // no signature, no certification
inline constexpr int kSignedSeries = 1;        // signed and certified
inline constexpr int kUnsignedSeries = 2;      // no signature, no certification

// ---- Documents -----------------------------------------------------------
// A well-known document, as a constant.
struct KnownDocument {
  std::string_view type;
  int series;
  int number;
  int year;
  DocumentKey key() const { return {std::string(type), series, number, year}; }
};
// Signed and certified, closed: may no longer be changed.
inline constexpr KnownDocument kSignedInvoice{kInvoiceType, kSignedSeries, 1, kDocumentYear};
// Signed series, still in preparation (EMPREP -1); client kAllowanceClient,
// dispatch kAllowanceDispatch; lines in KG, SC and PAL of weighed articles.
inline constexpr KnownDocument kInvoiceInPreparation{kInvoiceType, kSignedSeries, 2, kDocumentYear};
// Series 0, client kAllowanceClient, dispatch kAllowanceDispatch.
inline constexpr KnownDocument kSeriesZeroInvoice{kInvoiceType, kUnsignedSeriesZero, 1, kDocumentYear};
// Unsigned series 2 with a freight-allowance line (TIPOLIN 3) already.
inline constexpr KnownDocument kInvoiceWithAllowanceLine{kInvoiceType, kUnsignedSeries, 1, kDocumentYear};
// Unsigned series 2 with only a comment line and a description-only item.
inline constexpr KnownDocument kInvoiceWithoutArticleLines{kInvoiceType, kUnsignedSeries, 2, kDocumentYear};
// A credit note of the signed series, closed.
inline constexpr KnownDocument kCreditNote{kCreditNoteType, kSignedSeries, 1, kDocumentYear};
inline constexpr KnownDocument kOrder{kOrderType, kUnsignedSeriesZero, 1, kDocumentYear};
// No document has this key.
inline constexpr KnownDocument kUnknownDocument{kInvoiceType, kUnsignedSeries, 999999, kDocumentYear};

}  // namespace quill::erp::demo
