#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "extension/pricing/AlteracaoPrecosForm.h"

namespace quill {

// Bulk changes of the prices that fixed-price articles have in the ERP's
// price lines, grouped by seller and by the price lines their clients use.
// Every price is written through the bridge's AlteraPreco, one call a row:
// at its own start date, and moved to the activation date when that
// changed. Nothing is written to the database directly.
class EditAltLinPrecos : public AlteracaoPrecosForm, public DispatchObject<EditAltLinPrecos> {
 public:
  static constexpr const char* kFormName = "frmEditAltLinPrecos";

  // The report's criteria form is "frmCriteriosAltLinPrc".
  EditAltLinPrecos(ui::UiServices& ui, const ui::ViewFactory& makeView, Components components);
  ~EditAltLinPrecos() override;

  // The prices of the ranges, once for every client of the seller on the
  // line, with the change of txtValor applied (in memory only), grouped.
  void RefreshGrid() override;
  // The marked rows' new prices through the bridge, in grid order; then,
  // when the activation date changed and the user says so, the start date
  // of every row (Yes) or of the marked ones (No) moved to it. A refusal
  // stops the save at its row; the rows sent before stay sent.
  void SaveChanges(bool mensagem) override;
  // Saves, asks for the report's criteria, prints the prices whose start
  // date lies in the period.
  void PrintChanges() override;
  void ClearFilters();
  // Every seller, every price line and the fixed-price articles.
  void SetDefaultRanges();

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<EditAltLinPrecos>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override;
  std::string errorTitle() const override;

 private:
  // A price-line field as a line number: its leading number, 0 when none.
  std::int16_t linha(std::string_view field) const;
  void ChangeOnePrice(std::size_t linha);
  void MovePriceToDate(std::size_t linha, Date activacao);
};

}  // namespace quill
