#pragma once

#include <cstdint>

namespace quill::erp {

// The number of the errors the ERP stand-in raises about its installation and
// its database files (E_FAIL, as an OLE DB provider reports an unspecified
// failure).
inline constexpr std::int32_t kErpDatabaseError = -2147467259;

// A document line's discount that the ERP refuses (the API answers the same
// number, its InvalidDiscount).
inline constexpr std::int32_t kInvalidDiscount = 1115;

// A change to a document that may no longer be changed (the API answers the
// same number, its DocumentClosed).
inline constexpr std::int32_t kDocumentClosed = 1103;

}  // namespace quill::erp
