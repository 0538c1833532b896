#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extension/commissions/EditorForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The editor of the commission rate each seller earns on each product
// group (U_QOR_COMGRUPOS), the rates the monthly calculation pairs with the
// sales: every group for the seller chosen in the list, the rate where one
// is stored, typed into the grid (a percentage from 0 to 100) and written
// on confirmation (inserted or updated, never deleted).
class EditComGrp : public EditorForm, public DispatchObject<EditComGrp> {
 public:
  static constexpr const char* kFormName = "frmEditComGrp";

  EditComGrp(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~EditComGrp() override;

  // Accepted and kept; the editor makes no use of it.
  void setNextApi(DispatchPtr nextApi) { nextApi_ = std::move(nextApi); }

  // Fills the seller list, loads the grid for the first seller and shows
  // the form modally, without an owner (the argument is not used); without
  // sellers it says so and shows nothing.
  void Editar(const Variant& argument);

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<EditComGrp>& members();
  std::string className() const override { return kFormName; }

 protected:
  void onClick(std::string_view control) override;
  void onChanged(std::string_view control) override;

 private:
  std::string vendedor() const;
  void carregarGrelha();
  void gravar();

  // The codes of the sellers, in the order of cmbLinhaPrc (which shows names).
  std::vector<std::string> vendedores_;
  DispatchPtr nextApi_;
};

}  // namespace quill
