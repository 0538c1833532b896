#include "platform/spreadsheet/Range.h"

#include <fmt/format.h>

#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/Arguments.h"
#include "platform/spreadsheet/SheetConstants.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/vb/Conversions.h"

namespace quill::spreadsheet {

namespace {

using Args = MemberTable<Range>::Args;

Variant optionalNumber(const std::optional<double>& value) { return value ? Variant(*value) : Variant::null(); }

}  // namespace

Variant Range::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  ref_.require();
  return DispatchObject::invoke(member.empty() ? "Value" : member, kind, args);
}

const MemberTable<Range>& Range::members() {
  auto getValue = [](Range& r, Args) { return r.block().value(); };
  // The value of a put is the caller's to give, never read back: its text
  // moves into the cell.
  // The range's sheet and workbook become the active ones, the range the
  // sheet's selection.
  auto select = [](Range& r, Args) {
    r.ref_.activateSheet();
    r.ref_.sheet->select(r.rect_);
  };
  auto letValue = [](Range& r, Args a) { r.changing().setValue(std::move(a.back())); };
  static const auto table =
      MemberTable<Range>()
          .property("Value", getValue, letValue)
          .property("Value2", getValue, letValue)
          .property("Text", [](Range& r, Args) { return Variant(r.block().text()); })
          .property(
              "NumberFormat", [](Range& r, Args) { return r.block().numberFormat(); },
              [](Range& r, Args a) {
                const Variant& code = a.back();
                r.changing().setNumberFormat(code.isString() ? std::string_view(code.stringValue())
                                                             : std::string_view(vb::CStr(code)));
              })
          .property("Font",
                    [](Range& r, Args) {
                      const CellRect rect = r.rect_;
                      return Variant(DispatchPtr(reuseOrMake<Font>(
                          r.spareFont_, [&rect](Font& f) { f.reuse(rect); }, r.ref_, rect)));
                    })
          .property(
              "HorizontalAlignment",
              [](Range& r, Args) {
                auto alignment = r.block().alignment();
                return alignment ? Variant(constantOf(*alignment)) : Variant::null();
              },
              [](Range& r, Args a) {
                auto alignment = alignmentFromConstant(vb::CLng(a.back()));
                if (!alignment) throw sheetError(fmt::format("{} is not a horizontal alignment", vb::CStr(a.back())));
                r.changing().setAlignment(*alignment);
              })
          .property(
              "ColumnWidth", [](Range& r, Args) { return optionalNumber(r.block().columnWidth()); },
              [](Range& r, Args a) { r.changing().setColumnWidth(vb::CDbl(a.back())); })
          .sub(
              "AutoFit",
              [](Range& r, Args) {
                if (!r.columns_ && !r.rect_.coversWholeColumns())
                  throw sheetError("AutoFit works on columns: use the range's Columns or EntireColumn");
                r.changing().autoFit();
              },
              Arity::exactly(0))
          .sub("Select", select, Arity{0, 1})
          .sub("Activate", select, Arity::exactly(0))
          .property("Row", [](Range& r, Args) { return Variant(static_cast<std::int32_t>(r.rect_.firstRow + 1)); })
          .property("Column",
                    [](Range& r, Args) { return Variant(static_cast<std::int32_t>(r.rect_.firstColumn + 1)); })
          .property("Count",
                    [](Range& r, Args) {
                      return Variant(static_cast<std::int32_t>(
                          r.columns_ ? r.rect_.columnCount() : r.rect_.rowCount() * r.rect_.columnCount()));
                    })
          .property("Columns",
                    [](Range& r, Args a) {
                      CellRect rect = r.rect_;
                      if (!a.empty()) {
                        std::int32_t k = vb::CLng(a[0]);
                        if (k < 1 || k > rect.columnCount()) throw vbError(vberr::SubscriptOutOfRange, "Range");
                        rect.firstColumn = rect.lastColumn = r.rect_.firstColumn + k - 1;
                      }
                      return Variant(DispatchPtr(std::make_shared<Range>(r.ref_, rect, true)));
                    })
          .property("EntireColumn",
                    [](Range& r, Args) {
                      return Variant(DispatchPtr(std::make_shared<Range>(
                          r.ref_, CellRect::columns(r.rect_.firstColumn, r.rect_.lastColumn), true)));
                    })
          .property("Cells", [](Range& r, Args a) {
            if (a.empty()) return Variant(DispatchPtr(std::make_shared<Range>(r.ref_, r.rect_, false)));
            if (a.size() != 2) throw vbError(vberr::WrongArguments, "Range");
            // Within the block, counted from its first cell (and past it, as
            // long as the sheet goes on).
            int row = r.rect_.firstRow + vb::CLng(a[0]);
            int column = r.rect_.firstColumn + columnArgument(a[1]) + 1;
            return Variant(DispatchPtr(
                std::make_shared<Range>(r.ref_, CellRect::cell(rowArgument(row), columnArgument(column)), false)));
          });
  return table;
}

Variant Font::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  ref_.require();
  return DispatchObject::invoke(member, kind, args);
}

const MemberTable<Font>& Font::members() {
  using FontArgs = MemberTable<Font>::Args;
  static const auto table = MemberTable<Font>()
                                .property(
                                    "Bold", [](Font& f, FontArgs) { return f.block().bold(); },
                                    [](Font& f, FontArgs a) {
                                      f.ref_.book->saved = false;
                                      f.block().setBold(vb::CBool(a.back()));
                                    })
                                .property(
                                    "Italic", [](Font& f, FontArgs) { return f.block().italic(); },
                                    [](Font& f, FontArgs a) {
                                      f.ref_.book->saved = false;
                                      f.block().setItalic(vb::CBool(a.back()));
                                    });
  return table;
}

}  // namespace quill::spreadsheet
