#pragma once

#include "extension/reports/CriteriosForm.h"

namespace quill::kinds {

// The code kinds of the price editors that the criteria forms do not share.

// Articles found with their user fields ("ARTIGOS LEFT OUTER JOIN U_ARTIGOS").
const CodeKind& artigosComCampos();
// Product groups: "Grupos" lookup; found by "(GRUPOS.COD = '…') ".
const CodeKind& grupos();

}  // namespace quill::kinds
