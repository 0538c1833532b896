#include "host/TrackedPropertyBag.h"

namespace quill::host {

bool TrackedPropertyBag::written(std::string_view name) const { return written_.count(foldCase(name)) != 0; }

Variant TrackedPropertyBag::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  Variant result = PropertyBag::invoke(member, kind, args);
  if (kind == CallKind::PropertyPut || kind == CallKind::PropertyPutRef) written_.insert(foldCase(member));
  return result;
}

}  // namespace quill::host
