#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extension/commissions/EditorForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The window in which the commissions of a month are computed
// (ComissoesMensais) and printed: a year in `campo`, a month in `cb1`,
// calculate (btConf), print (btImp) and leave (btSair).
//
// Keys: typing in the year field arms its validation (2007 to 2050, not
// empty); Esc there disarms it and sends the focus back, as Shift+Tab. Esc
// in the month list closes the window. The calculation and the printing
// check the year themselves before it goes into a statement.
class EditComissoes : public EditorForm, public DispatchObject<EditComissoes> {
 public:
  static constexpr const char* kFormName = "frmEditComissoes";
  static constexpr int kPrimeiroAno = 2007;
  static constexpr int kUltimoAno = 2050;

  EditComissoes(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~EditComissoes() override;

  // Makes sure the table exists, resets the fields and shows the window
  // modally over lPai.
  void Editar(const Variant& lPai);
  void CriarTabelas();
  // The current year and month.
  void LimparForm();
  // The window's message boxes, all titled "Informação": 1 a required
  // field (OK), 2 a message (OK), 3 OK/Cancel, 4 Yes/No/Cancel, 5 Yes/No
  // (the last button the default); iResposta is the button pressed (0 for
  // kinds 1 and 2). Any other kind shows nothing and leaves it as it was.
  void Avisa(const std::string& sCampo, const std::string& sMensagem, std::int16_t iTipo, std::int32_t& iResposta);

  static const std::vector<std::string>& meses();
  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<EditComissoes>& members();
  std::string className() const override { return kFormName; }

 protected:
  bool onValidate(std::string_view control) override;
  void onChanged(std::string_view control) override;
  bool onEscape(std::string_view control) override;
  void onClick(std::string_view control) override;

 private:
  int avisa(const std::string& mensagem, std::int16_t tipo);
  // The year of the field when it is one the window takes; otherwise says
  // why, keeps the focus there and answers nothing.
  std::optional<std::string> anoValido();
  int mes() const;
  void calcular();
  void imprimir();

  bool validarAno_ = false;
};

}  // namespace quill
