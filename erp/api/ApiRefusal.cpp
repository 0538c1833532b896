#include "erp/api/ApiRefusal.h"

#include <fmt/format.h>

#include "erp/CompoundDiscount.h"
#include "erp/DocumentStore.h"

namespace quill::erpapi::refuse {

ApiRefusal notStarted() { return {apierr::NotStarted, "A API não está inicializada."}; }

ApiRefusal documentNotFound(std::string_view type, int series, int number, int year) {
  return {apierr::DocumentNotFound, fmt::format("O documento {} {}/{} de {} não existe.", type, series, number, year)};
}

ApiRefusal noDocumentRead() { return {apierr::NoDocumentRead, "Não foi lido nenhum documento."}; }

ApiRefusal documentClosed(std::string_view type, int series, int number, int year) {
  return {apierr::DocumentClosed, erp::closedDocumentMessage({std::string(type), series, number, year})};
}

ApiRefusal seriesChanged() {
  return {apierr::SeriesChanged, "Não é possível alterar a série de um documento existente."};
}

ApiRefusal unknownClient(std::string_view client) {
  return {apierr::UnknownClient, fmt::format("O cliente {} não existe.", client)};
}

ApiRefusal unknownCurrency(std::string_view currency) {
  return {apierr::UnknownCurrency, fmt::format("A moeda {} não existe.", currency)};
}

ApiRefusal invalidLineType(int line, int type) {
  return {apierr::InvalidLineType, fmt::format("Linha {}: o tipo de linha {} não é válido.", line, type)};
}

ApiRefusal lineWithoutArticle(int line) {
  return {apierr::LineWithoutArticle, fmt::format("Linha {}: o artigo não está preenchido.", line)};
}

ApiRefusal unknownArticle(std::string_view article) {
  return {apierr::UnknownArticle, fmt::format("O artigo {} não existe.", article)};
}

ApiRefusal unknownLineArticle(int line, std::string_view article) {
  return {apierr::UnknownArticle, fmt::format("Linha {}: o artigo {} não existe.", line, article)};
}

ApiRefusal negativeUnitPrice(int line) {
  return {apierr::NegativeUnitPrice, fmt::format("Linha {}: o preço unitário não pode ser negativo.", line)};
}

ApiRefusal negativeQuantity(int line) {
  return {apierr::NegativeQuantity, fmt::format("Linha {}: a quantidade não pode ser negativa.", line)};
}

ApiRefusal invalidDiscount(int line, std::string_view discount) {
  return {apierr::InvalidDiscount, erp::invalidDiscountMessage(line, discount)};
}

ApiRefusal priceNotFound(std::string_view article, std::string_view currency, int priceLine) {
  return {apierr::PriceNotFound,
          fmt::format("Não existe preço do artigo {} na moeda {} e linha de preços {}.", article, currency, priceLine)};
}

ApiRefusal unknownPriceLine(int priceLine) {
  return {apierr::UnknownPriceLine, fmt::format("A linha de preços {} não existe.", priceLine)};
}

ApiRefusal priceExists(std::string_view article, std::string_view currency, int priceLine) {
  return {apierr::PriceExists,
          fmt::format("Já existe preço do artigo {} na moeda {} e linha de preços {}.", article, currency, priceLine)};
}

ApiRefusal negativePrice() { return {apierr::NegativePrice, "O preço de venda não pode ser negativo."}; }

ApiRefusal invalidDate(std::string_view what) {
  return {apierr::InvalidDate, fmt::format("A {} não é uma data válida.", what)};
}

ApiRefusal writeFailed(std::string_view reason) {
  return {apierr::WriteFailed, fmt::format("Não foi possível gravar: {}", reason)};
}

}  // namespace quill::erpapi::refuse
