#include "tests/erp/api/VariantPrinting.h"

namespace quill {

void PrintTo(const Variant& value, std::ostream* out) { *out << value.debugString(); }

}  // namespace quill
