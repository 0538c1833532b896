#include "extension/commissions/EditorForm.h"

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

}  // namespace quill
