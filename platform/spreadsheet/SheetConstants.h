#pragma once

#include <cstdint>
#include <optional>

#include "platform/spreadsheet/Cell.h"

namespace quill::spreadsheet {

// The application's constants as callers pass them.
inline constexpr std::int32_t xlGeneral = 1;
inline constexpr std::int32_t xlLeft = -4131;
inline constexpr std::int32_t xlCenter = -4108;
inline constexpr std::int32_t xlRight = -4152;
inline constexpr std::int32_t xlFill = 5;
inline constexpr std::int32_t xlJustify = -4130;
inline constexpr std::int32_t xlCenterAcrossSelection = 7;
inline constexpr std::int32_t xlDistributed = -4117;

// File formats of SaveAs: the 97–2003 workbook, and the older name of the
// same ("the normal workbook").
inline constexpr std::int32_t xlExcel8 = 56;
inline constexpr std::int32_t xlWorkbookNormal = -4143;

std::optional<HorizontalAlignment> alignmentFromConstant(std::int32_t constant);
std::int32_t constantOf(HorizontalAlignment alignment);

}  // namespace quill::spreadsheet
