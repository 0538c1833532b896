#pragma once

#include <string>
#include <vector>

#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The criteria of the pending-documents-past-tolerance report: a client
// range and a seller range. Its descriptions are read-only fields, Enter
// has no meaning of its own, a code picked in a lookup is validated at once
// and the defaults are proposed trimmed.
class CriteriosPendTolerancia : public CriteriosForm, public DispatchObject<CriteriosPendTolerancia> {
 public:
  static constexpr const char* kFormName = "frmCriteriosPendTolerancia";

  CriteriosPendTolerancia(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~CriteriosPendTolerancia() override;

  std::string PrimeiroCliente() const;
  std::string UltimoCliente() const;
  std::string PrimeiroVendedor() const;
  std::string UltimoVendedor() const;
  // True while Editar prepares the form.
  bool loading() const { return loading_; }

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<CriteriosPendTolerancia>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override;
  std::string editarErrorTitle() const override { return "Desconto por Grupo"; }
  bool validatesAfterLookup() const override { return true; }

 private:
  bool loading_ = false;
};

}  // namespace quill
