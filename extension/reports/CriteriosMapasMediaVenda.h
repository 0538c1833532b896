#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The criteria of the average-sales report, also used by the scheduled
// prices editor (which gives it its own caption): an article range and a
// date range, each presettable before Editar. The defaults (every article,
// today) replace the preset values only when both article fields are empty.
class CriteriosMapasMediaVenda : public CriteriosForm, public DispatchObject<CriteriosMapasMediaVenda> {
 public:
  static constexpr const char* kFormName = "frmCriteriosMapasMediaVenda";

  CriteriosMapasMediaVenda(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~CriteriosMapasMediaVenda() override;

  std::string PrimeiroArt() const;
  std::string UltimoArt() const;
  std::string PrimeiraData() const;
  std::string UltimaData() const;
  // The article is written and validated, so that its description shows.
  void setPrimeiroArt(std::string_view code);
  void setUltimoArt(std::string_view code);
  void setPrimeiraData(std::string_view date);
  void setUltimaData(std::string_view date);
  void setCaption(std::string_view caption);

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<CriteriosMapasMediaVenda>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override;
  std::string editarErrorTitle() const override;
};

}  // namespace quill
