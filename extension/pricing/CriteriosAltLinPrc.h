#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

// The criteria of the price-line changes report: sellers, price lines,
// articles and a period of start dates. The editor presets every value,
// shows the form and reads the values back unless it was cancelled. A
// price line must be a number (an empty field is refused too); one too
// large becomes the first (last) line.
class CriteriosAltLinPrc : public CriteriosForm, public DispatchObject<CriteriosAltLinPrc> {
 public:
  static constexpr const char* kFormName = "frmCriteriosAltLinPrc";

  CriteriosAltLinPrc(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~CriteriosAltLinPrc() override;

  std::string PrimeiroVnd() const;
  std::string UltimoVnd() const;
  std::string PrimeiroPrc() const;
  std::string UltimoPrc() const;
  std::string PrimeiroArt() const;
  std::string UltimoArt() const;
  std::string PrimeiraData() const;
  std::string UltimaData() const;
  // The code fields are written and validated, so that their descriptions show.
  void setPrimeiroVnd(std::string_view code);
  void setUltimoVnd(std::string_view code);
  void setPrimeiroPrc(std::string_view line);
  void setUltimoPrc(std::string_view line);
  void setPrimeiroArt(std::string_view code);
  void setUltimoArt(std::string_view code);
  void setPrimeiraData(std::string_view date);
  void setUltimaData(std::string_view date);

  // Shows the form modally over the owner window; Cancelou tells how it
  // was left.
  void showModal(std::int32_t owner);

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<CriteriosAltLinPrc>& members();
  std::string className() const override { return kFormName; }

 protected:
  void prepare() override {}
  std::string editarErrorTitle() const override;

 private:
  void setRange(std::size_t range, std::string_view text);
};

}  // namespace quill
