#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "extension/components/DataAccess.h"
#include "extension/components/ReportPrinting.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "platform/automation/MemberTable.h"
#include "platform/vb/Conversions.h"

namespace quill {

// What the opener gives a price editor before Editar (the data access, the
// bridge and the company database the report printer is told of) and the
// library's components it makes by name (its report's criteria form, the
// "ReportPrinter"). A missing one is an error naming it when it is used.
class PriceFormSettings {
 public:
  using Components = std::function<DispatchPtr(std::string_view name)>;

  void setServidor(std::string value) { database_.servidor = std::move(value); }
  void setBaseDados(std::string value) { database_.baseDados = std::move(value); }
  void setUtilizador(std::string value) { database_.utilizador = std::move(value); }
  void setPassWord(std::string value) { database_.passWord = std::move(value); }
  void setNextApi(DispatchPtr nextApi) { nextApi_ = std::move(nextApi); }
  void setDataAccess(std::shared_ptr<DataAccess> dataAccess) { dataAccess_ = std::move(dataAccess); }

  // The settings as properties of an editor's member table, in the order
  // the commands set them.
  template <class Editor>
  static MemberTable<Editor>& addSettings(MemberTable<Editor>& table);

 protected:
  explicit PriceFormSettings(Components components) : components_(std::move(components)) {}

  // Object variable not set (91) when the opener gave none.
  DataAccess& data() const {
    if (!dataAccess_) throw vbError(vberr::ObjectNotSet, "DataAccess");
    return *dataAccess_;
  }
  const std::shared_ptr<DataAccess>& dataAccess() const { return dataAccess_; }
  const DispatchPtr& nextApi() const {
    if (!nextApi_) throw vbError(vberr::ObjectNotSet, "NextApi");
    return nextApi_;
  }
  const ReportDatabase& database() const { return database_; }
  // A component made by name; Can't create object (429) when there is none.
  DispatchPtr componente(std::string_view nome) const {
    DispatchPtr component = components_ ? components_(nome) : nullptr;
    if (!component) throw vbError(vberr::CannotCreateObject, std::string(nome));
    return component;
  }

 private:
  Components components_;
  ReportDatabase database_;
  DispatchPtr nextApi_;
  std::shared_ptr<DataAccess> dataAccess_;
};

template <class Editor>
MemberTable<Editor>& PriceFormSettings::addSettings(MemberTable<Editor>& table) {
  using Args = typename MemberTable<Editor>::Args;
  auto text = [](void (PriceFormSettings::*setter)(std::string)) {
    return [setter](Editor& f, Args a) { (f.*setter)(vb::CStr(a.back())); };
  };
  auto dataAccess = [](Editor& f, Args a) { f.setDataAccess(dataAccessOf(a.back())); };
  auto nextApi = [](Editor& f, Args a) { f.setNextApi(requireObject(a.back())); };
  table.property("DataAccess", {}, dataAccess, dataAccess)
      .property("NextApi", {}, nextApi, nextApi)
      .property("Servidor", {}, text(&PriceFormSettings::setServidor))
      .property("BaseDados", {}, text(&PriceFormSettings::setBaseDados))
      .property("Utilizador", {}, text(&PriceFormSettings::setUtilizador))
      .property("PassWord", {}, text(&PriceFormSettings::setPassWord));
  return table;
}

}  // namespace quill
