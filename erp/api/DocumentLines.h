#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

class DocumentLine;

// The lines of a commercial document (its Linhas): Count and Item(i), i
// from 1; Item outside 1..Count fails with Subscript out of range (9). The
// items are the document's live line objects.
class DocumentLines : public DispatchObject<DocumentLines> {
 public:
  std::vector<std::shared_ptr<DocumentLine>>& items() { return items_; }
  const std::vector<std::shared_ptr<DocumentLine>>& items() const { return items_; }
  std::shared_ptr<DocumentLine> item(std::int32_t index) const;

  static const MemberTable<DocumentLines>& members();
  std::string className() const override { return "DocumentosGcLinhas"; }

 private:
  std::vector<std::shared_ptr<DocumentLine>> items_;
};

}  // namespace quill::erpapi
