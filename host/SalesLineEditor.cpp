#include "host/SalesLineEditor.h"

#include <fmt/format.h>

#include <cmath>
#include <optional>

#include "host/CompanyCatalog.h"
#include "host/DiscountText.h"
#include "host/DocumentContextBuilder.h"
#include "host/ExtensionObject.h"
#include "host/ObservedUiServices.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

// A number a hook answered in a by-reference argument; empty text and
// anything that is not a number count as 0.
double numberOf(const Variant& value) {
  if (value.isEmpty() || value.isNull()) return 0;
  if (value.isString() && vb::Trim(value.stringValue()).empty()) return 0;
  try {
    return vb::CDbl(value);
  } catch (const std::exception&) {
    return 0;
  }
}

std::optional<double> typedNumber(std::string_view typed) {
  try {
    return vb::parseNumber(vb::Trim(typed));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool cancelled(const Variant& bCancel) {
  try {
    return !bCancel.isEmpty() && !bCancel.isNull() && vb::CBool(bCancel);
  } catch (const std::exception&) {
    return false;
  }
}

// The price and discount a hook wrote into the line, over what the host had.
void takeWrittenValues(const DocumentContext& context, SalesLine& line) {
  if (context.linha->written("PrecoUnitario")) line.unitPrice = numberOf(context.linha->value("PrecoUnitario"));
  if (context.linha->written("Desconto")) line.discount = discountFromVariant(context.linha->value("Desconto"));
}

EditOutcome refusedByExtension() { return {EditOutcome::Kind::RefusedByExtension, {}}; }

// The largest amount the database's money columns hold (the original
// server's money type); quantities stay within it too, and so does a line's
// quantity times its price, from which its totals are made.
constexpr double kMaxAmount = 922337203685477.5807;
constexpr const char* kMaxAmountText = "922.337.203.685.477,58";

bool withinAmounts(double value) { return std::isfinite(value) && std::fabs(value) <= kMaxAmount; }

}  // namespace

SalesLineEditor::SalesLineEditor(const CompanyCatalog& catalog, ExtensionObject* extension,
                                 const ObservedUiServices* boxes)
    : catalog_(catalog), extension_(extension), boxes_(boxes) {}

EditOutcome SalesLineEditor::edit(const SalesHeader& header, SalesLine& line, LineField field, std::string_view typed) {
  const std::size_t boxesBefore = boxes_ ? boxes_->boxCount() : 0;
  EditOutcome outcome = editField(header, line, field, typed);
  if (outcome.kind == EditOutcome::Kind::RefusedByExtension && boxes_ && boxes_->boxCount() > boxesBefore)
    outcome.message = boxes_->lastPrompt();
  return outcome;
}

EditOutcome SalesLineEditor::editField(const SalesHeader& header, SalesLine& line, LineField field,
                                       std::string_view typed) {
  if (!line.isArticleLine()) return EditOutcome::refused("Esta linha não é de artigo: não se altera no documento.");
  SalesLine before = line;
  try {
    switch (field) {
      case LineField::Article:
        return editArticle(header, line, typed);
      case LineField::Unit:
        return editUnit(header, line, typed);
      case LineField::Discount:
        return editDiscount(header, line, typed);
      case LineField::Quantity:
      case LineField::UnitPrice:
      case LineField::DiscountValue: {
        // The word and the ending that agrees with it.
        const bool quantity = field == LineField::Quantity;
        const char* what = quantity                        ? "A quantidade"
                           : field == LineField::UnitPrice ? "O preço unitário"
                                                           : "O valor do desconto";
        auto value = typedNumber(typed);
        if (!value) return EditOutcome::refused(fmt::format("{} \"{}\" não é um número.", what, typed));
        if (*value < 0)
          return EditOutcome::refused(fmt::format("{} não pode ser {}.", what, quantity ? "negativa" : "negativo"));
        if (!withinAmounts(*value))
          return EditOutcome::refused(
              fmt::format("{} \"{}\" é grande demais: o máximo é {}.", what, typed, kMaxAmountText));
        if ((field == LineField::Quantity && !withinAmounts(*value * line.unitPrice)) ||
            (field == LineField::UnitPrice && !withinAmounts(line.quantity * *value)))
          return EditOutcome::refused(
              fmt::format("A quantidade vezes o preço unitário da linha passaria o máximo de {}.", kMaxAmountText));
        if (field == LineField::Quantity) return editQuantity(header, line, *value);
        if (field == LineField::UnitPrice) return editUnitPrice(header, line, *value);
        return editDiscountValue(header, line, *value);
      }
    }
  } catch (const std::exception& error) {
    line = before;
    return EditOutcome::refused(ui::UiServices::errorPrompt(error));
  }
  return EditOutcome::refused("Campo desconhecido.");
}

EditOutcome SalesLineEditor::editArticle(const SalesHeader& header, SalesLine& line, std::string_view typed) {
  std::string code = vb::Trim(typed);
  if (code.empty()) return EditOutcome::refused("Escreva o código do artigo (para tirar o artigo, apague a linha).");
  if (header.client.empty()) return EditOutcome::refused("Escolha o cliente do documento antes das linhas.");
  auto article = catalog_.article(code);
  if (!article) return EditOutcome::refused(fmt::format("O artigo \"{}\" não existe.", code));
  auto client = catalog_.client(header.client);
  if (!client) return EditOutcome::refused(fmt::format("O cliente \"{}\" não existe.", header.client));

  bool newLine = line.article.empty();
  bool otherArticle = !newLine && vb::UCase(line.article) != vb::UCase(article->code);
  SalesLine asSeen = line;
  // A unit typed before the article counts only when the article sells in it.
  if (newLine) asSeen.unit = article->sellsIn(asSeen.unit) ? article->unitSpelling(asSeen.unit) : std::string();

  SalesLine result = asSeen;
  result.article = article->code;
  result.description = article->name;
  result.vatRate = catalog_.vatRate(article->vatIndex);
  result.unit = otherArticle || asSeen.unit.empty() ? article->saleUnit : article->unitSpelling(asSeen.unit);
  if (newLine && result.quantity == 0) result.quantity = 1;

  bool priced = false;
  if (extension_) {
    DocumentContext context = DocumentContextBuilder::build(header, &asSeen);
    Variant oApi(context.oApi), sArtigo(article->code), vDescPerc(asSeen.discountRate()),
        vDescValor(asSeen.discountValue), bCancel(false);
    extension_->ValidateArtigo(oApi, sArtigo, vDescPerc, vDescValor, bCancel);
    if (cancelled(bCancel)) return refusedByExtension();
    takeWrittenValues(context, result);
    result.discountValue = numberOf(vDescValor);
    priced = context.linha->written("PrecoUnitario");
  }
  // The hook left the price to the host: a new article takes the ERP's own price.
  if (!priced && (newLine || otherArticle)) {
    result.unitPrice = catalog_.defaultPrice(*article, *client, result.unit);
    if (!extension_) {
      result.discount.clear();
      result.discountValue = 0;
    }
  }
  line = result;
  return {};
}

EditOutcome SalesLineEditor::editUnit(const SalesHeader& header, SalesLine& line, std::string_view typed) {
  std::string unit = vb::Trim(typed);
  if (unit.empty()) return EditOutcome::refused("Escreva a unidade.");
  if (line.article.empty()) {
    auto known = catalog_.unit(unit);
    if (!known) return EditOutcome::refused(fmt::format("A unidade \"{}\" não existe.", unit));
    line.unit = *known;
    return {};
  }
  auto article = catalog_.article(line.article);
  if (!article) return EditOutcome::refused(fmt::format("O artigo \"{}\" não existe.", line.article));
  if (!article->sellsIn(unit)) {
    std::string units = article->saleUnit;
    for (const auto* u : {&article->packingUnit, &article->transportUnit})
      if (!u->empty()) units += ", " + *u;
    return EditOutcome::refused(
        fmt::format("O artigo {} não se vende em \"{}\" (unidades: {}).", article->code, unit, units));
  }
  unit = article->unitSpelling(unit);
  if (vb::UCase(unit) == vb::UCase(line.unit)) return {};

  SalesLine result = line;
  result.unit = unit;
  if (extension_) {
    DocumentContext context = DocumentContextBuilder::build(header, &line);
    Variant oApi(context.oApi), oCampo(unit), vDesValor(line.discountValue), bCancel(false);
    extension_->ValidateUnidade(oApi, oCampo, vDesValor, bCancel);
    if (cancelled(bCancel)) return refusedByExtension();
    takeWrittenValues(context, result);
    result.discountValue = numberOf(vDesValor);
  }
  line = result;
  return {};
}

EditOutcome SalesLineEditor::editQuantity(const SalesHeader& header, SalesLine& line, double quantity) {
  SalesLine result = line;
  result.quantity = quantity;
  if (extension_ && !line.article.empty()) {
    DocumentContext context = DocumentContextBuilder::build(header, &line);
    Variant oApi(context.oApi), oCampo(quantity), vDescPerc(line.discountRate()), vDesValor(line.discountValue),
        bCancel(false);
    extension_->ValidateQuantidade(oApi, oCampo, vDescPerc, vDesValor, bCancel);
    if (cancelled(bCancel)) return refusedByExtension();
    takeWrittenValues(context, result);
    result.discountValue = numberOf(vDesValor);
  }
  line = result;
  return {};
}

EditOutcome SalesLineEditor::editUnitPrice(const SalesHeader& header, SalesLine& line, double price) {
  SalesLine result = line;
  result.unitPrice = price;
  if (extension_ && !line.article.empty()) {
    DocumentContext context = DocumentContextBuilder::build(header, &line);
    Variant oApi(context.oApi), oCampo(price), vDesValor(line.discountValue), bCancel(false);
    extension_->ValidatePrecoUnit(oApi, oCampo, vDesValor, bCancel);
    if (cancelled(bCancel)) return refusedByExtension();
    takeWrittenValues(context, result);
    result.discountValue = numberOf(vDesValor);
  }
  line = result;
  return {};
}

EditOutcome SalesLineEditor::editDiscount(const SalesHeader& header, SalesLine& line, std::string_view typed) {
  std::string error;
  auto discount = parseTypedDiscount(typed, error);
  if (!discount) return EditOutcome::refused(error);
  SalesLine result = line;
  result.discount = *discount;
  if (extension_ && !line.article.empty()) {
    // The hook sees the discount being entered as the line's rate.
    SalesLine asSeen = line;
    asSeen.discount = *discount;
    DocumentContext context = DocumentContextBuilder::build(header, &asSeen);
    context.linha->setValue("Desconto", line.discount);
    Variant oApi(context.oApi), vDesPerc(vb::Trim(typed)), vDesValor(line.discountValue), bCancel(false);
    extension_->ValidateDesconto(oApi, vDesPerc, vDesValor, bCancel);
    if (cancelled(bCancel)) return refusedByExtension();
    if (context.linha->written("Desconto")) {
      result.discount = discountFromVariant(context.linha->value("Desconto"));
    } else {
      // The percentage the hook answers; the same rate as typed keeps the
      // typed chain ("10+5" rather than 14.5).
      std::string answered = discountFromVariant(vDesPerc);
      if (std::fabs(compoundDiscountRate(answered) - compoundDiscountRate(*discount)) > 1e-9 ||
          answered.empty() != discount->empty())
        result.discount = answered;
    }
    if (context.linha->written("PrecoUnitario")) result.unitPrice = numberOf(context.linha->value("PrecoUnitario"));
    result.discountValue = numberOf(vDesValor);
  }
  line = result;
  return {};
}

EditOutcome SalesLineEditor::editDiscountValue(const SalesHeader& header, SalesLine& line, double value) {
  SalesLine result = line;
  result.discountValue = value;
  if (extension_ && !line.article.empty()) {
    DocumentContext context = DocumentContextBuilder::build(header, &line);
    Variant passedRate(line.discountRate());
    Variant oApi(context.oApi), vDesPerc(passedRate), vDesVal(value), bCancel(false);
    extension_->ValidateDescontoValor(oApi, vDesPerc, vDesVal, bCancel);
    if (cancelled(bCancel)) return refusedByExtension();
    if (context.linha->written("Desconto"))
      result.discount = discountFromVariant(context.linha->value("Desconto"));
    else if (!(vDesPerc == passedRate))
      result.discount = discountFromVariant(vDesPerc);
    if (context.linha->written("PrecoUnitario")) result.unitPrice = numberOf(context.linha->value("PrecoUnitario"));
    result.discountValue = numberOf(vDesVal);
  }
  line = result;
  return {};
}

}  // namespace quill::host
