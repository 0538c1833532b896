#include "erp/api/PlainApiObject.h"

namespace quill::erpapi {

const MemberTable<PlainApiObject>& PlainApiObject::members() {
  static const MemberTable<PlainApiObject> table;
  return table;
}

}  // namespace quill::erpapi
