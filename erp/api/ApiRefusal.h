#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "erp/ErpError.h"

namespace quill::erpapi {

// A refusal of the ERP API: the number its objects answer (and keep in
// UltimoErro) and the Portuguese text they keep in UltimaMensagem. An
// operation that succeeds answers 0 and clears both.
struct ApiRefusal {
  std::int32_t number = 0;
  std::string message;
};

// The numbers the API answers. Callers show the message; a few compare the
// number, so each kind of refusal keeps its own.
namespace apierr {
inline constexpr std::int32_t NotStarted = 1000;
// Commercial documents
inline constexpr std::int32_t DocumentNotFound = 1101;
inline constexpr std::int32_t NoDocumentRead = 1102;
inline constexpr std::int32_t DocumentClosed = erp::kDocumentClosed;
inline constexpr std::int32_t SeriesChanged = 1104;
inline constexpr std::int32_t UnknownClient = 1105;
inline constexpr std::int32_t UnknownCurrency = 1106;
inline constexpr std::int32_t InvalidLineType = 1110;
inline constexpr std::int32_t LineWithoutArticle = 1111;
inline constexpr std::int32_t UnknownArticle = 1112;
inline constexpr std::int32_t NegativeUnitPrice = 1113;
inline constexpr std::int32_t NegativeQuantity = 1114;
inline constexpr std::int32_t InvalidDiscount = erp::kInvalidDiscount;
// Prices
inline constexpr std::int32_t PriceNotFound = 1201;
inline constexpr std::int32_t UnknownPriceLine = 1202;
inline constexpr std::int32_t PriceExists = 1203;
inline constexpr std::int32_t NegativePrice = 1204;
inline constexpr std::int32_t InvalidDate = 1205;
// The company database refused a write; nothing was written.
inline constexpr std::int32_t WriteFailed = 1900;
}  // namespace apierr

// The refusals, with their texts.
namespace refuse {
ApiRefusal notStarted();
ApiRefusal documentNotFound(std::string_view type, int series, int number, int year);
ApiRefusal noDocumentRead();
ApiRefusal documentClosed(std::string_view type, int series, int number, int year);
ApiRefusal seriesChanged();
ApiRefusal unknownClient(std::string_view client);
ApiRefusal unknownCurrency(std::string_view currency);
ApiRefusal invalidLineType(int line, int type);
ApiRefusal lineWithoutArticle(int line);
ApiRefusal unknownArticle(std::string_view article);
ApiRefusal unknownLineArticle(int line, std::string_view article);
ApiRefusal negativeUnitPrice(int line);
ApiRefusal negativeQuantity(int line);
ApiRefusal invalidDiscount(int line, std::string_view discount);
ApiRefusal priceNotFound(std::string_view article, std::string_view currency, int priceLine);
ApiRefusal unknownPriceLine(int priceLine);
ApiRefusal priceExists(std::string_view article, std::string_view currency, int priceLine);
ApiRefusal negativePrice();
ApiRefusal invalidDate(std::string_view what);
ApiRefusal writeFailed(std::string_view reason);
}  // namespace refuse

}  // namespace quill::erpapi
