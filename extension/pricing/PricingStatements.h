#pragma once

#include <cstdint>
#include <string>

namespace quill::precos {

// The statements of the price editors, each written once (the ones that
// find or list one kind of code are in the code kinds). Codes go in with
// their quotes doubled; price-line numbers without quotes; dates as
// "yyyy-mm-dd" text.

// Every ERP article without a scheduled-prices row gets one: its retail
// prices as the current and the previous prices, now as activation and
// update date.
std::string SeedScheduledPrices();

// The scheduled prices of the active articles of a range, with each price
// twice (the stored one and a working copy "...NEW"), the VAT rate of the
// article in the regime and the history; in article order. The group range
// applies when either bound is given. The currency is not used.
std::string QueryScheduledPrices(const std::string& artFrom, const std::string& artTo, const std::string& grpFrom,
                                 const std::string& grpTo, const std::string& currency, const std::string& regime);
// The same rows for the articles whose activation date lies in a period.
std::string QueryScheduledPricesByActivation(const std::string& artFrom, const std::string& artTo,
                                             const std::string& dateFrom, const std::string& dateTo,
                                             const std::string& currency, const std::string& regime);

// The prices of the fixed-price articles in the price lines that the
// clients of each seller use: a price once for every such client, ordered
// by seller, line and article.
std::string QueryLinePrices(const std::string& sellerFrom, const std::string& sellerTo, std::int16_t lineFrom,
                            std::int16_t lineTo, const std::string& artFrom, const std::string& artTo,
                            const std::string& currency, const std::string& regime);
// The same rows for the prices whose start date lies in a period.
std::string QueryLinePricesByStartDate(const std::string& sellerFrom, const std::string& sellerTo,
                                       std::int16_t lineFrom, std::int16_t lineTo, const std::string& artFrom,
                                       const std::string& artTo, const std::string& dateFrom, const std::string& dateTo,
                                       const std::string& currency, const std::string& regime);
// The fixed-price articles, with their prices in a range of lines.
std::string QueryFixedPriceArticles(std::int16_t lineFrom, std::int16_t lineTo, const std::string& currency,
                                    const std::string& regime);

}  // namespace quill::precos
