#include "platform/spreadsheet/Worksheet.h"

#include <fmt/format.h>

#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/Arguments.h"
#include "platform/spreadsheet/BiffText.h"
#include "platform/spreadsheet/CellBlock.h"
#include "platform/spreadsheet/Range.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/vb/Conversions.h"

namespace quill::spreadsheet {

void checkSheetName(const WorkbookData& book, const SheetData* sheet, std::string_view name) {
  std::size_t length = utf16Length(name);
  if (length == 0 || length > 31 || name.find_first_of(":\\/?*[]") != std::string_view::npos)
    throw sheetError(fmt::format("'{}' is not a sheet name: 1 to 31 characters, none of : \\ / ? * [ ]", name));
  for (const auto& other : book.sheets())
    if (other.get() != sheet && equalsNoCase(other->name(), name))
      throw sheetError(fmt::format("The workbook already has a sheet named '{}'", name));
}

Variant Worksheet::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  ref_.require();
  return DispatchObject::invoke(member, kind, args);
}

DispatchPtr Worksheet::range(const CellRect& rect, bool columns) {
  return reuseOrMake<Range>(
      spareRange_, [&](Range& r) { r.reuse(rect, columns); }, ref_, rect, columns);
}

CellRect Worksheet::rangeArgument(const Variant& value) const {
  if (value.isObject()) {
    auto* other = dynamic_cast<Range*>(requireObject(value).get());
    if (!other || other->ref().sheet != ref_.sheet) throw sheetError("The range belongs to another sheet");
    return other->rect();
  }
  std::string text = vb::CStr(value);
  auto rect = parseReference(text);
  if (!rect) throw sheetError(fmt::format("'{}' is not a cell reference of a 97-2003 sheet (A1 to IV65536)", text));
  return *rect;
}

const MemberTable<Worksheet>& Worksheet::members() {
  using Args = MemberTable<Worksheet>::Args;
  static const auto table =
      MemberTable<Worksheet>()
          .property(
              "Name", [](Worksheet& w, Args) { return Variant(w.ref_.sheet->name()); },
              [](Worksheet& w, Args a) {
                std::string name = vb::CStr(a.back());
                checkSheetName(w.ref_.book->data, w.ref_.sheet, name);
                w.ref_.sheet->setName(name);
                w.ref_.book->saved = false;
              })
          .property("Index",
                    [](Worksheet& w, Args) { return Variant(static_cast<std::int32_t>(w.ref_.sheetIndex() + 1)); })
          .property(
              "Cells",
              [](Worksheet& w, Args a) {
                if (a.empty()) return Variant(w.range(CellRect::wholeSheet()));
                if (a.size() != 2) throw vbError(vberr::WrongArguments, "Worksheet");
                return Variant(w.range(CellRect::cell(rowArgument(a[0]), columnArgument(a[1]))));
              },
              [](Worksheet& w, Args a) {
                if (a.size() != 3) throw vbError(vberr::WrongArguments, "Worksheet");
                auto rect = CellRect::cell(rowArgument(a[0]), columnArgument(a[1]));
                CellBlock(w.ref_.book->data, *w.ref_.sheet, rect).setValue(a[2]);
                w.ref_.book->saved = false;
              })
          .property(
              "Range",
              [](Worksheet& w, Args a) {
                if (a.empty() || a.size() > 2) throw vbError(vberr::WrongArguments, "Worksheet");
                CellRect rect = w.rangeArgument(a[0]);
                if (a.size() == 2) {
                  CellRect other = w.rangeArgument(a[1]);
                  rect = {std::min(rect.firstRow, other.firstRow), std::min(rect.firstColumn, other.firstColumn),
                          std::max(rect.lastRow, other.lastRow), std::max(rect.lastColumn, other.lastColumn)};
                }
                return Variant(w.range(rect));
              },
              [](Worksheet& w, Args a) {
                if (a.size() != 2) throw vbError(vberr::WrongArguments, "Worksheet");
                CellBlock(w.ref_.book->data, *w.ref_.sheet, w.rangeArgument(a[0])).setValue(a[1]);
                w.ref_.book->saved = false;
              })
          .property("Columns",
                    [](Worksheet& w, Args a) {
                      if (a.empty()) return Variant(w.range(CellRect::wholeSheet(), true));
                      if (a.size() != 1) throw vbError(vberr::WrongArguments, "Worksheet");
                      if (a[0].isString() && a[0].stringValue().find(':') != std::string::npos) {
                        auto rect = parseReference(a[0].stringValue());
                        if (!rect || !rect->coversWholeColumns())
                          throw sheetError(fmt::format("'{}' names no columns of the sheet", a[0].stringValue()));
                        return Variant(w.range(*rect, true));
                      }
                      int column = columnArgument(a[0]);
                      return Variant(w.range(CellRect::columns(column, column), true));
                    })
          .sub(
              "Select", [](Worksheet& w, Args) { w.ref_.activateSheet(); }, Arity{0, 1})
          .sub(
              "Activate", [](Worksheet& w, Args) { w.ref_.activateSheet(); }, Arity::exactly(0));
  return table;
}

}  // namespace quill::spreadsheet
