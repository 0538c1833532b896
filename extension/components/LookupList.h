#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"

namespace quill {

namespace sql {
class Connection;
class Recordset;
}  // namespace sql
namespace ui {
class FormView;
class UiServices;
}  // namespace ui

// The lookup dialog: a list of codes and descriptions from a query, which
// narrows as the user types part of a code or a name, and answers the code
// of the row the user picks. The callers use it in this order:
//
//   LookupList lookup(ui);
//   lookup.setConnection(dataAccess.GetConnection());
//   lookup.setTitle("Vendedores");
//   lookup.setQuery("SELECT CODIGO as Código, NOME as Nome FROM VENDEDOR ...");
//   lookup.load();                          // runs the query; errors are raised
//   lookup.setColumnWidth(1, 1000);         // twips
//   lookup.setColumnWidth(2, 3000);
//   std::string code = lookup.showModal(lPai);  // empty: nothing picked
//
// The first column of the query is the code, the second its description.
//
// Controls: txtProcura (the text that narrows the list), grdLista, cmdOK,
// cmdCancelar. Enter or a double click on a row picks it; Enter in
// txtProcura picks the current row, or the only one left.
class LookupList : public ui::Form {
 public:
  explicit LookupList(ui::UiServices& ui);
  // With a view of its own (tests).
  LookupList(ui::UiServices& ui, const ui::ViewFactory& makeView);
  ~LookupList() override;

  void setConnection(std::shared_ptr<sql::Connection> connection) { connection_ = std::move(connection); }
  void setTitle(std::string_view title);
  void setQuery(std::string_view sql) { query_ = sql; }
  void load();
  // Column 1 is the code, column 2 the description.
  void setColumnWidth(int column, int twips);
  std::string showModal(std::int32_t owner);

  std::size_t shownRows() const;

  static const std::vector<ui::ControlDef>& controls();

 protected:
  void onChanged(std::string_view control) override;
  void onClick(std::string_view control) override;

 private:
  void narrow(std::string_view text);
  void pick();

  std::shared_ptr<sql::Connection> connection_;
  std::string query_;
  std::shared_ptr<sql::Recordset> all_;
  std::string picked_;
};

}  // namespace quill
