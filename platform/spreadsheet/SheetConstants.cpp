#include "platform/spreadsheet/SheetConstants.h"

namespace quill::spreadsheet {

namespace {
struct Pair {
  std::int32_t constant;
  HorizontalAlignment alignment;
};
constexpr Pair kAlignments[] = {
    {xlGeneral, HorizontalAlignment::General},
    {xlLeft, HorizontalAlignment::Left},
    {xlCenter, HorizontalAlignment::Center},
    {xlRight, HorizontalAlignment::Right},
    {xlFill, HorizontalAlignment::Fill},
    {xlJustify, HorizontalAlignment::Justify},
    {xlCenterAcrossSelection, HorizontalAlignment::CenterAcrossSelection},
    {xlDistributed, HorizontalAlignment::Distributed},
};
}  // namespace

std::optional<HorizontalAlignment> alignmentFromConstant(std::int32_t constant) {
  for (const auto& p : kAlignments)
    if (p.constant == constant) return p.alignment;
  return std::nullopt;
}

std::int32_t constantOf(HorizontalAlignment alignment) {
  for (const auto& p : kAlignments)
    if (p.alignment == alignment) return p.constant;
  return xlGeneral;
}

}  // namespace quill::spreadsheet
