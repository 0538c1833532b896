#pragma once

#include <string>
#include <vector>

#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The criteria of the price-lines report by seller: a seller range and a
// price-line range. Like the pending-documents criteria it has modes; only
// mode 1 (price lines, with defaults) is used.
class CriteriosMapasPorVnd : public CriteriosForm, public DispatchObject<CriteriosMapasPorVnd> {
 public:
  static constexpr const char* kFormName = "frmCriteriosMapasPorVnd";

  CriteriosMapasPorVnd(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~CriteriosMapasPorVnd() override;

  void setMapa(std::int16_t mapa);
  std::string PrimeiroVnd() const;
  std::string UltimoVnd() const;
  // The price lines as typed; the caller makes them numbers.
  std::string PrimeiroPrc() const;
  std::string UltimoPrc() const;

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<CriteriosMapasPorVnd>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override;
  std::string editarErrorTitle() const override;
  void onLookup(std::string_view control) override;

 private:
  std::int16_t mapa_ = 0;
};

}  // namespace quill
