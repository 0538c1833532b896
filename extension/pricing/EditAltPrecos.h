#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "extension/pricing/AlteracaoPrecosForm.h"

namespace quill {

// The scheduled retail prices (U_QOR_PRECOS): three prices of every active
// article, without and with VAT, from an activation date, the previous ones
// kept as history. The user narrows the articles by article and group,
// applies a change to the chosen price levels or types new prices, marks
// the rows to save and may move their activation date. Only the
// extension's table is written; the ERP is not touched.
class EditAltPrecos : public AlteracaoPrecosForm, public DispatchObject<EditAltPrecos> {
 public:
  static constexpr const char* kFormName = "frmEditAltPrecos";

  // The report's criteria form is "frmCriteriosMapasMediaVenda".
  EditAltPrecos(ui::UiServices& ui, const ui::ViewFactory& makeView, Components components);
  ~EditAltPrecos() override;

  // Every ERP article without a row gets one (each time the window opens).
  void SeedScheduledPrices();
  // The filtered articles with the change of txtValor applied to the
  // selected levels (in memory only), bound to the grid; marks cleared.
  void RefreshGrid() override;
  // The marked rows' new prices (the old ones into the history); then,
  // when the activation date changed and the user says so, that date on
  // every filtered row (Yes) or on the marked ones (No).
  void SaveChanges(bool mensagem) override;
  // Saves, asks for the report's articles and activation period, prints.
  void PrintChanges() override;
  void ClearFilters();
  // The articles and groups of the first and last active articles.
  void SetDefaultRanges();

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<EditAltPrecos>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override;
  void onChanged(std::string_view control) override;
  std::string errorTitle() const override;

 private:
  // The price levels selected in LbxPrecos (1 to 3).
  std::vector<int> niveisEscolhidos() const;
  void WritePrices(const std::string& artigo, std::size_t linha);
  bool WriteActivationDate(const std::string& artigo, Date activacao);
};

}  // namespace quill
