#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/FormView.h"

namespace quill {

namespace sql {
class Recordset;
}

// The client/group discounts report: a client range and a seller range,
// and under them the report itself in a grid grouped by seller, rebuilt
// whenever a criterion is left; printed as the grid shows it, or exported
// to a 97–2003 workbook.
class CriteriosDescCliGrupo : public CriteriosForm, public DispatchObject<CriteriosDescCliGrupo> {
 public:
  static constexpr const char* kFormName = "frmCriteriosDescCliGrupo";
  static constexpr const char* kGrid = "grdDescGrp";
  static constexpr const char* kPrintTitle = "Descontos Cliente/Grupo";
  static constexpr const char* kDefaultFileName = "Descontos Cliente-Grupo";
  static constexpr const char* kBuildErrorTitle = "Build Data";

  CriteriosDescCliGrupo(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~CriteriosDescCliGrupo() override;

  static const std::vector<ui::ControlDef>& controls();
  static const MemberTable<CriteriosDescCliGrupo>& members();
  std::string className() const override { return kFormName; }

  // The report for the criteria as they stand, into the grid; a failure is
  // shown titled "Build Data" and leaves the grid without records.
  void rebuild();
  // The rows the grid shows.
  const std::shared_ptr<sql::Recordset>& rows() const { return rows_; }
  bool loading() const { return loading_; }

 protected:
  void prepare() override;
  std::string editarErrorTitle() const override;
  bool validatesAfterLookup() const override { return true; }
  bool onValidate(std::string_view control) override;
  void onLookup(std::string_view control) override;
  void onClick(std::string_view control) override;

 private:
  void setupColumns(std::shared_ptr<sql::Recordset> rows);
  void print();
  void exportToWorkbook();

  std::shared_ptr<sql::Recordset> rows_;
  bool loading_ = false;
};

}  // namespace quill
