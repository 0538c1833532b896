#pragma once

#include <functional>
#include <string_view>

#include "extension/core/LinePricing.h"
#include "platform/automation/Variant.h"

namespace quill {

class DocumentContext;
namespace ui {
class UiServices;
}

// The hooks the host calls while a sales-document line is edited. Each one
// reads the line and the header from the host's document context, prices the
// line by its rule and writes the unit price and discount back into the line
// and into its by-reference arguments. No hook lets an error reach the host:
// each shows "Erro " + the description under its own title and stops.
class SalesLineHooks {
 public:
  using DebugLog = std::function<void(std::string_view tag, std::string_view detail)>;
  using CreditNoteTest = std::function<bool(const Variant& oApi)>;

  SalesLineHooks(PricingSource& source, ui::UiServices& ui, DebugLog log, CreditNoteTest isNotaCredito);

  void ValidateArtigo(Variant& oApi, Variant& sArtigo, Variant& vDescPerc, Variant& vDescValor, Variant& bCancel);
  void ValidateQuantidade(Variant& oApi, Variant& oCampo, Variant& vDescPerc, Variant& vDesValor, Variant& bCancel);
  void ValidateUnidade(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel);
  void ValidatePrecoUnit(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel);
  void ValidateDesconto(Variant& oApi, Variant& vDesPerc, Variant& vDesValor, Variant& bCancel);
  void ValidateDescontoValor(Variant& oApi, Variant& vDesPerc, Variant& vDesVal, Variant& bCancel);
  void ValidadeDescontoCliente(Variant& vCliente, Variant& vDescPerc, Variant& vDescDefault);

 private:
  // The rule of an article on the context's document; an error on the way
  // shows the "RegraDoArtigo" box and answers the code reached so far.
  RegraDoArtigo regraDoArtigo(DocumentContext& ctx, std::string_view artigo);
  // Writes the discount percentage of a discount value into the line (rules 0 and 4).
  static void percentagemNaLinha(DocumentContext& ctx, double valor);
  // Rules 2 and 3: the rule's price and discount percentage written into the line.
  DescontoDaRegra descontoNaLinha(DocumentContext& ctx, const RegraDoArtigo& regra, double preco, Date data,
                                  double factor);
  // Rule 0 after a quantity or unit change: the discount value stays, as a percentage.
  static void valorDoRetalho(DocumentContext& ctx, const RegraDoArtigo& regra, Variant& vDesValor);
  // Both discount arguments of a price-line article are cleared; anything
  // entered is refused with a message.
  void recusaDesconto(const Variant& introduzido, Variant& vPerc, Variant& vValor, Variant& bCancel);
  // ValidateDesconto and ValidateDescontoValor differ only in which of the
  // two discount arguments the user typed.
  enum class DescontoEditado { Percentagem, Valor };
  void descontoEditado(std::string_view title, Variant& oApi, Variant& vPerc, Variant& vValor, Variant& bCancel,
                       DescontoEditado editado);
  template <class Body>
  void guarded(std::string_view title, Body&& body);

  LinePricing pricing_;
  ui::UiServices& ui_;
  DebugLog log_;
  CreditNoteTest isNotaCredito_;
};

}  // namespace quill
