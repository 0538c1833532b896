#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extension/pricing/PriceFormSettings.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"

namespace quill {

class DataAccess;
namespace sql {
class Recordset;
}

// The price-line editor: the prices one price line (LINPRC) gives to the
// fixed-price articles, each without and with VAT and with its start date.
// The user picks the line, types new prices without VAT (the price with VAT
// follows from the article's rate), may move the start date of the whole
// line, and saves: every change goes to the ERP through the bridge's
// AlteraPreco, one call per article, so that the ERP keeps its history.
// From here the price-lines report is printed.
//
// A save that the bridge refuses stops at that article: the articles sent
// before it stay sent (and the grid knows they were), the box says why, and
// the window stays open with the rest of the user's changes.
class EditLinPrecos : public ui::Form, public PriceFormSettings, public DispatchObject<EditLinPrecos> {
 public:
  static constexpr const char* kFormName = "frmEditLinPrecos";
  static constexpr const char* kTitulo = "Linhas de preços";
  static constexpr const char* kRelatorio = "\\qor_VT_LinhasPrecos.rpt";
  static constexpr const char* kDebugLog = "DBGLINPRC.TXT";

  // Its components: the criteria form "frmCriteriosMapasPorVnd" and the
  // "ReportPrinter".
  EditLinPrecos(ui::UiServices& ui, const ui::ViewFactory& makeView, Components components);
  ~EditLinPrecos() override;

  // Its properties, set before Editar, are PriceFormSettings'.

  // Checks the company's setup, loads the price lines and shows the window
  // modally over lPai; returns once it is hidden. Failures are shown.
  void Editar(const Variant& lPai);

  // The articles of one line with their prices in the currency, and the VAT
  // rate of each in the regime; the texts go in with their quotes doubled.
  static std::string GetLinhasPrecosSql(std::int16_t linha, const std::string& moeda, const std::string& regime);

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<EditLinPrecos>& members();
  std::string className() const override { return kFormName; }

 protected:
  bool onValidate(std::string_view control) override;
  void onLookup(std::string_view control) override;
  void onClick(std::string_view control) override;
  void onChanged(std::string_view control) override;
  std::string errorTitle() const override { return kTitulo; }

 private:
  struct Colunas;

  void carregarLinhas(sql::Recordset& linhas);
  void pFrmRefresh();
  void pFrmGrdConfigurar();
  void pFrmGrdShow();
  std::shared_ptr<sql::Recordset> GetLinhasPrecos(std::int16_t linha);
  // The typed value of a price cell: blank is no price, letters and
  // negative numbers are refused.
  bool validarPreco(std::size_t position, Variant& value) const;
  void depoisDeEditar(std::size_t position, const std::string& field);
  void Gravar();
  void alteraPreco(std::size_t position, std::int32_t linha, bool soData);
  void Imprimir();
  void mostrarLinha(std::int32_t linha, const std::string& descricao);
  void log(std::string_view procedimento, std::string_view mensagem) const;

  ui::GridControl& grelha() const;
  sql::Recordset* precos() const { return precos_.get(); }

  std::filesystem::path reportFolder_;

  std::int32_t owner_ = 0;
  std::string moedaNacional_;
  std::string regimeIvaNacional_;
  bool dataAlterada_ = false;
  // Entry k + 1 is the line of the k-th entry of cmbLinhaPrc; entry 0 stays 0.
  std::vector<std::int32_t> linhas_;
  // The line the grid holds, while it holds one.
  std::optional<std::int16_t> linhaCarregada_;
  std::shared_ptr<sql::Recordset> precos_;
  std::unique_ptr<Colunas> colunas_;
};

}  // namespace quill
