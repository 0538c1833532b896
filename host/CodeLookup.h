#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"

namespace quill::sql {
class Recordset;
}

namespace quill::host {

// The ERP's lookup of a code in its document editor: a list of codes and
// names (the first two fields of `rows`) that narrows as the user types
// part of a code or of a name, and answers the code of the row picked.
// Enter or a double click picks the current row (the only one left when
// none is current); Esc or "Cancelar" picks nothing.
//
// Controls: txtProcura (the text that narrows), grdLista, cmdOK, cmdCancelar.
class CodeLookup : public ui::Form {
 public:
  CodeLookup(ui::UiServices& ui, std::string_view title, std::shared_ptr<sql::Recordset> rows);
  // With a view of its own (tests).
  CodeLookup(ui::UiServices& ui, std::string_view title, std::shared_ptr<sql::Recordset> rows,
             const ui::ViewFactory& makeView);
  ~CodeLookup() override;

  // Shows the list over `owner`, narrowed by `typed` (what the field held);
  // the code picked, or empty.
  std::string pick(std::int32_t owner, std::string_view typed = {});
  std::size_t shownRows() const;

  static const std::vector<ui::ControlDef>& controls();

 protected:
  void onChanged(std::string_view control) override;
  void onClick(std::string_view control) override;

 private:
  void narrow(std::string_view text);
  void choose();

  std::shared_ptr<sql::Recordset> rows_;
  std::string picked_;
};

}  // namespace quill::host
