#pragma once

#include <string>

#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

// An API object that the system creates and never uses beyond that
// ("Artigos", "Clientes", "Fornecedores", "LotesLinha",
// "DocumentoContabilistico"). It has no members: any call fails with
// "Object doesn't support this property or method" (438).
class PlainApiObject : public DispatchObject<PlainApiObject> {
 public:
  explicit PlainApiObject(std::string className) : className_(std::move(className)) {}

  static const MemberTable<PlainApiObject>& members();
  std::string className() const override { return className_; }

 private:
  std::string className_;
};

}  // namespace quill::erpapi
