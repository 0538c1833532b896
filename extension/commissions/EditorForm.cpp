#include "extension/commissions/EditorForm.h"

#include "extension/components/LibraryFolder.h"
#include "extension/components/ReportPrinter.h"
#include "platform/automation/AutomationError.h"
#include "platform/vb/Conversions.h"

namespace quill {

DataAccess& EditorForm::data() const {
  if (!dataAccess_) throw vbError(vberr::ObjectNotSet, "DataAccess");
  return *dataAccess_;
}

void EditorForm::keepOwner(const Variant& lPai) {
  owner_ = lPai.isEmpty() || lPai.isNull() || lPai.isObject() ? 0 : vb::CLng(lPai);
}

void EditorForm::imprimirFicheiro(std::string_view ficheiro, const std::vector<std::string>& parametros) {
  imprimirRelatorio(std::make_shared<ReportPrinter>(ui()), reportDatabase_,
                    libraryFolder().string() + std::string(ficheiro), parametros, owner_);
}

}  // namespace quill
