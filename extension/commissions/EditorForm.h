#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extension/components/DataAccess.h"
#include "extension/components/ReportPrinting.h"
#include "platform/automation/MemberTable.h"
#include "platform/automation/Variant.h"
#include "platform/ui/Form.h"
#include "platform/vb/Conversions.h"

namespace quill {

// What the editors of discounts and commissions share: the data-access
// object their caller hands them, the owner window their Editar receives
// (handed on to the windows and reports they open) and the database
// settings of their reports.
class EditorForm : public ui::Form {
 public:
  explicit EditorForm(ui::UiServices& ui) : Form(ui) {}

  void setDataAccess(std::shared_ptr<DataAccess> dataAccess) { dataAccess_ = std::move(dataAccess); }
  ReportDatabase& reportDatabase() { return reportDatabase_; }

 protected:
  // Object variable not set (91) until the caller gives it.
  DataAccess& data() const;
  const std::shared_ptr<DataAccess>& dataAccess() const { return dataAccess_; }
  // Keeps Editar's owner value; an empty value or an object is no owner.
  void keepOwner(const Variant& lPai);
  std::int32_t owner() const { return owner_; }
  // Prints a report file of the library's folder, named as the system names
  // it ("\qor_VT_Comissoes.rpt"), with a text parameter array (element n is
  // parameter n) over the owner window. The printer shows its own failures.
  void imprimirFicheiro(std::string_view ficheiro, const std::vector<std::string>& parametros);

 private:
  std::shared_ptr<DataAccess> dataAccess_;
  ReportDatabase reportDatabase_;
  std::int32_t owner_ = 0;
};

// The properties the callers of an editor set, on its late-bound interface:
// DataAccess (Set, or Let) and, for an editor that prints, Servidor,
// BaseDados, Utilizador and PassWord; all write-only.
template <typename F>
MemberTable<F> editorMembers(bool printSettings) {
  using Args = typename MemberTable<F>::Args;
  MemberTable<F> table;
  auto dataAccess = [](F& f, Args a) { f.setDataAccess(dataAccessOf(a.back())); };
  table.property("DataAccess", {}, dataAccess, dataAccess);
  if (!printSettings) return table;
  auto setting = [&table](const char* name, std::string ReportDatabase::*member) {
    table.property(name, {}, [member](F& f, Args a) { f.reportDatabase().*member = vb::CStr(a.back()); });
  };
  setting("Servidor", &ReportDatabase::servidor);
  setting("BaseDados", &ReportDatabase::baseDados);
  setting("Utilizador", &ReportDatabase::utilizador);
  setting("PassWord", &ReportDatabase::passWord);
  return table;
}

}  // namespace quill
