#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The criteria of the pending-documents report and, in two more modes, of
// the price-lines and client/group-discounts reports. Mapa chooses the
// ranges shown: 1 price lines, 2 clients and sellers, 3 clients, sellers,
// zones, portfolios and a reference date. The caller reads the values back
// by their keys (GetParametro) or as Primeiro and Ultimo.
class CriteriosMapas : public CriteriosForm, public DispatchObject<CriteriosMapas> {
 public:
  static constexpr const char* kFormName = "frmCriteriosMapas";

  // The form loaded: every field, label and picker hidden, fields and
  // pickers disabled.
  CriteriosMapas(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~CriteriosMapas() override;

  void setMapa(std::int16_t mapa);
  std::int16_t Mapa() const { return mapa_; }
  std::string Primeiro() const;
  std::string Ultimo() const;
  // The value of the first control whose Tag is the key (without regard to
  // case): a field's text, a picker's date as text; empty text otherwise.
  std::string GetParametro(std::string_view key) const;

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<CriteriosMapas>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override;
  std::string editarErrorTitle() const override;

 private:
  void load();
  std::int16_t mapa_ = 0;
};

}  // namespace quill
