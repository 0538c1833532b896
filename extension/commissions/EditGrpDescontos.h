#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extension/commissions/EditorForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The editor of the discount a client gets for each product group
// (U_QOR_GRUPOSDESCONTO): every group of the ERP for one client at a time,
// the client's discount where one is stored, typed into the grid and
// written on confirmation (inserted or updated, never deleted). It also
// prints the client/group discounts report for ranges the user chooses.
//
// The client is typed into txtCli (validated when left: it must exist and
// be active), picked with Ctrl+L, or chosen in cmbClientes, the list of the
// active clients; each reloads the grid.
class EditGrpDescontos : public EditorForm, public DispatchObject<EditGrpDescontos> {
 public:
  static constexpr const char* kFormName = "frmEditGrpDescontos";

  EditGrpDescontos(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~EditGrpDescontos() override;

  // Fills the client list, loads the grid for the first client and shows
  // the form modally over lPai; without active clients it says so and shows
  // nothing.
  void Editar(const Variant& lPai);

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<EditGrpDescontos>& members();
  std::string className() const override { return kFormName; }

 protected:
  bool onValidate(std::string_view control) override;
  void onLookup(std::string_view control) override;
  void onClick(std::string_view control) override;
  void onChanged(std::string_view control) override;
  std::string errorTitle() const override;

 private:
  void carregarGrelha();
  void gravar();
  void imprimir();

  // The codes of the active clients, in the order of cmbClientes.
  std::vector<std::string> clientes_;
};

}  // namespace quill
