#include "platform/spreadsheet/XlsWriter.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/spreadsheet/BiffRecords.h"
#include "platform/spreadsheet/BiffText.h"
#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "platform/spreadsheet/SharedStrings.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/TextWidth.h"
#include "platform/spreadsheet/WorkbookData.h"
#include "platform/winapi/FileBytes.h"

namespace quill::spreadsheet {

namespace {

// Cell formats 0 to 14 are the style formats every workbook carries, 15 is
// the format of a cell nobody formatted; the workbook's own start at 16.
constexpr std::uint16_t kStyleXfCount = 15;
constexpr std::uint16_t kDefaultCellXf = 15;
constexpr std::uint16_t kFirstCustomFormatId = 164;
constexpr std::uint16_t kUnassigned = 0xFFFF;
constexpr std::size_t kMaxStreamSize = 0x7FFFFFFF;
constexpr std::size_t kMaxFormatCodeUnits = 255;

// The format codes every reader knows by number, which the file leaves out.
struct BuiltinFormat {
  std::uint16_t id;
  std::string_view code;
};
constexpr BuiltinFormat kBuiltinFormats[] = {
    {1, "0"},         {2, "0.00"},   {3, "#,##0"},     {4, "#,##0.00"},  {9, "0%"}, {10, "0.00%"},
    {11, "0.00E+00"}, {12, "# ?/?"}, {13, "# ?\?/??"}, {48, "##0.0E+0"}, {49, "@"},
};

void header(std::string& out, std::uint16_t type, std::size_t length) {
  le::u16(out, type);
  le::u16(out, static_cast<std::uint16_t>(length));
}

void recordU16(std::string& out, std::uint16_t type, std::uint16_t value) {
  header(out, type, 2);
  le::u16(out, value);
}

void recordU16s(std::string& out, std::uint16_t type, std::initializer_list<std::uint16_t> values) {
  header(out, type, 2 * values.size());
  for (auto v : values) le::u16(out, v);
}

// A cell's record header and its row, column and format, in one append.
struct CellHeader {
  char bytes[10];
  CellHeader(std::uint16_t type, std::uint16_t length, int row, int column, std::uint16_t xf) {
    auto put = [this](int at, std::uint16_t v) { std::memcpy(bytes + at, &v, 2); };
    put(0, type);
    put(2, length);
    put(4, static_cast<std::uint16_t>(row));
    put(6, static_cast<std::uint16_t>(column));
    put(8, xf);
  }
};

bool written(const Cell& cell, const ColumnInfo& column) {
  return cell.present && (cell.hasValue() || !(cell.style == column.style));
}

class StreamBuilder {
  // A sheet's used block and each row's first and last written column (-1
  // for a row with none).
  struct Layout {
    std::vector<std::pair<int, int>> rows;
    int firstRow = -1, lastRow = -1, firstColumn = kMaxColumns, lastColumn = -1;
  };

 public:
  explicit StreamBuilder(const WorkbookData& book) : book_(book), formatIds_(book.numberFormatCount(), kUnassigned) {}

  std::string build() {
    collect();
    writeGlobals();
    for (std::size_t i = 0; i < book_.sheets().size(); ++i) {
      le::setU32(out_, sheetOffsetFields_[i], static_cast<std::uint32_t>(out_.size()));
      writeSheet(*book_.sheets()[i], i);
    }
    if (out_.size() > kMaxStreamSize)
      throw sheetError("The workbook is too large for the 97-2003 format (2 GB or more)");
    return std::move(out_);
  }

 private:
  // ---- First pass: the formats and strings the cells use ----

  void collect() {
    std::size_t cells = 0, textBytes = 0;
    for (const auto& sheet : book_.sheets()) {
      for (int c = 0; c < kMaxColumns; ++c) xfFor(sheet->column(c).style);
      Layout& layout = layouts_.emplace_back();
      layout.rows.assign(static_cast<std::size_t>(sheet->rowSpan()), {-1, -1});
      for (int r = 0; r < sheet->rowSpan(); ++r) {
        auto row = sheet->row(r);
        auto& extent = layout.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
          const Cell& cell = row[static_cast<std::size_t>(c)];
          if (!written(cell, sheet->column(c))) continue;
          if (extent.first < 0) extent.first = c;
          extent.second = c;
          ++cells;
          cellXfs_.push_back(xfFor(cell.style));
          if (cell.kind != Cell::Kind::Text) continue;
          if (cell.text.size() > kMaxCellTextUnits && utf16Length(cell.text) > kMaxCellTextUnits)
            throw sheetError(fmt::format("The text in cell {} of sheet '{}' is longer than {} characters",
                                         referenceText(CellRect::cell(r, c)), sheet->name(), kMaxCellTextUnits));
          textBytes += cell.text.size();
          cellStrings_.push_back(strings_.add(cell.text));
        }
        if (extent.first < 0) continue;
        if (layout.firstRow < 0) layout.firstRow = r;
        layout.lastRow = r;
        layout.firstColumn = std::min(layout.firstColumn, extent.first);
        layout.lastColumn = std::max(layout.lastColumn, extent.second);
      }
    }
    out_.reserve(8192 + cells * 18 + textBytes * 2);
  }

  std::uint16_t xfFor(const CellStyle& style) {
    std::uint32_t key = style.key();
    if (key == 0) return kDefaultCellXf;
    if (key == lastKey_) return lastXf_;
    auto it = xfOf_.find(key);
    if (it == xfOf_.end()) {
      if (xfStyles_.size() >= kMaxCellFormats)
        throw sheetError(fmt::format("The workbook has more than {} different cell formats", kMaxCellFormats));
      formatIdFor(style.numberFormat);
      it = xfOf_.emplace(key, static_cast<std::uint16_t>(kDefaultCellXf + 1 + xfStyles_.size())).first;
      xfStyles_.push_back(style);
    }
    lastKey_ = key;
    lastXf_ = it->second;
    return it->second;
  }

  std::uint16_t formatIdFor(std::uint16_t index) {
    if (formatIds_[index] != kUnassigned) return formatIds_[index];
    const std::string& code = book_.numberFormatCode(index);
    std::uint16_t id = index == 0 ? 0 : kUnassigned;
    for (const auto& builtin : kBuiltinFormats)
      if (id == kUnassigned && builtin.code == code) id = builtin.id;
    if (id == kUnassigned) {
      if (utf16Length(code) > kMaxFormatCodeUnits)
        throw sheetError(fmt::format("The number format '{}' is longer than {} characters", code, kMaxFormatCodeUnits));
      id = static_cast<std::uint16_t>(kFirstCustomFormatId + customFormats_.size());
      customFormats_.push_back({id, &code});
    }
    return formatIds_[index] = id;
  }

  // ---- The workbook globals ----

  void writeGlobals() {
    writeBof(0x0005);
    recordU16(out_, biff::kInterfaceHdr, 1200);
    recordU16(out_, biff::kMms, 0);
    header(out_, biff::kInterfaceEnd, 0);
    recordU16(out_, biff::kCodepage, 1200);  // every text is UTF-16
    recordU16(out_, biff::kDsf, 0);
    const std::size_t sheets = book_.sheets().size();
    if (sheets * 2 <= biff::kMaxRecordData) {
      header(out_, biff::kTabId, sheets * 2);
      for (std::size_t i = 0; i < sheets; ++i) le::u16(out_, static_cast<std::uint16_t>(i + 1));
    }
    recordU16(out_, biff::kFnGroupCount, 14);
    recordU16(out_, biff::kWindowProtect, 0);
    recordU16(out_, biff::kProtect, 0);
    recordU16(out_, biff::kPassword, 0);
    recordU16(out_, biff::kProt4Rev, 0);
    recordU16(out_, biff::kProt4RevPass, 0);
    recordU16s(out_, biff::kWindow1,
               {0, 0, 0x3A5C, 0x23BE, 0x0038, static_cast<std::uint16_t>(book_.activeSheet()), 0, 1, 0x0258});
    recordU16(out_, biff::kBackup, 0);
    recordU16(out_, biff::kHideObj, 0);
    recordU16(out_, biff::kDateMode, 0);  // dates count from 1900
    recordU16(out_, biff::kPrecision, 1);
    recordU16(out_, biff::kRefreshAll, 0);
    recordU16(out_, biff::kBookBool, 0);
    // Fonts 0 to 3: regular, bold, italic, bold italic; a cell's font is
    // its bold and italic bits.
    for (int f = 0; f < 4; ++f) writeFont((f & 1) != 0, (f & 2) != 0);
    for (const auto& [id, code] : customFormats_) writeFormat(id, *code);
    for (std::uint16_t i = 0; i < kStyleXfCount; ++i) writeXf(0, 0, true, 0, i == 0 ? 0x00 : 0xF4);
    writeXf(0, 0, false, 0, 0x00);
    for (const auto& style : xfStyles_)
      writeXf(static_cast<std::uint16_t>((style.bold ? 1 : 0) | (style.italic ? 2 : 0)), formatIds_[style.numberFormat],
              false, static_cast<std::uint8_t>(style.alignment), 0xFC);
    // The Normal style, on cell format 0.
    header(out_, biff::kStyle, 4);
    le::u16(out_, 0x8000);
    le::u8(out_, 0);
    le::u8(out_, 0xFF);
    recordU16(out_, biff::kUsesElfs, 1);
    for (const auto& sheet : book_.sheets()) {
      BiffText name = encodeBiffText(sheet->name());
      header(out_, biff::kBoundSheet, 8 + name.bytes.size());
      sheetOffsetFields_.push_back(out_.size());
      le::u32(out_, 0);  // the sheet's position, filled in once it is written
      le::u8(out_, 0);   // visible
      le::u8(out_, 0);   // a worksheet
      le::u8(out_, static_cast<std::uint8_t>(name.units));
      le::u8(out_, name.wide ? 1 : 0);
      out_ += name.bytes;
    }
    strings_.write(out_);
    header(out_, biff::kEof, 0);
  }

  void writeBof(std::uint16_t kind) {
    header(out_, biff::kBof, 16);
    le::u16(out_, 0x0600);  // BIFF8
    le::u16(out_, kind);
    le::u16(out_, 0x0DBB);  // build
    le::u16(out_, 0x07CC);  // year
    le::u32(out_, 0);       // file history
    le::u32(out_, 0x06);    // the lowest version that reads it
  }

  void writeFont(bool bold, bool italic) {
    static constexpr std::string_view kName = "Arial";
    header(out_, biff::kFont, 16 + kName.size());
    le::u16(out_, 200);  // 10 points, in twentieths
    // Bit 0 repeats the weight's boldness, as readers of older files look there.
    le::u16(out_, static_cast<std::uint16_t>((bold ? 0x0001 : 0) | (italic ? 0x0002 : 0)));
    le::u16(out_, 0x7FFF);  // automatic colour
    le::u16(out_, bold ? 700 : 400);
    le::u16(out_, 0);  // no super- or subscript
    le::u8(out_, 0);   // no underline
    le::u8(out_, 2);   // swiss family
    le::u8(out_, 0);   // character set
    le::u8(out_, 0);
    le::u8(out_, static_cast<std::uint8_t>(kName.size()));
    le::u8(out_, 0);
    out_ += kName;
  }

  void writeFormat(std::uint16_t id, const std::string& code) {
    BiffText text = encodeBiffText(code);
    header(out_, biff::kFormat, 5 + text.bytes.size());
    le::u16(out_, id);
    le::u16(out_, static_cast<std::uint16_t>(text.units));
    le::u8(out_, text.wide ? 1 : 0);
    out_ += text.bytes;
  }

  // `used` tells which attributes the format sets itself rather than take
  // from its style: all of them for the workbook's own formats.
  void writeXf(std::uint16_t font, std::uint16_t format, bool style, std::uint8_t alignment, std::uint8_t used) {
    header(out_, biff::kXf, 20);
    le::u16(out_, font);
    le::u16(out_, format);
    le::u16(out_, style ? 0xFFF5 : 0x0001);  // locked; a style has no parent, a cell's parent is Normal
    le::u8(out_, static_cast<std::uint8_t>((alignment & 0x07) | 0x20));  // aligned to the bottom
    le::u8(out_, 0);
    le::u8(out_, 0);
    le::u8(out_, used);
    le::u32(out_, 0);  // no borders
    le::u32(out_, 0);  // no fill
    le::u16(out_, 0x20C0);
  }

  // ---- One sheet ----

  void writeSheet(const SheetData& sheet, std::size_t index) {
    writeBof(0x0010);
    recordU16(out_, biff::kCalcMode, 1);
    recordU16(out_, biff::kCalcCount, 100);
    recordU16(out_, biff::kRefMode, 1);
    recordU16(out_, biff::kIteration, 0);
    header(out_, biff::kDelta, 8);
    le::f64(out_, 0.001);
    recordU16(out_, biff::kSaveRecalc, 1);
    recordU16(out_, biff::kPrintHeaders, 0);
    recordU16(out_, biff::kPrintGridlines, 0);
    recordU16(out_, biff::kGridSet, 1);
    recordU16s(out_, biff::kGuts, {0, 0, 0, 0});
    recordU16s(out_, biff::kDefaultRowHeight, {0, 255});
    recordU16(out_, biff::kWsBool, 0x04C1);
    recordU16(out_, biff::kDefColWidth, 8);
    writeColumns(sheet);
    writeDimensions(layouts_[index]);
    writeCells(sheet, layouts_[index]);
    bool active = index == book_.activeSheet();
    recordU16s(out_, biff::kWindow2, {static_cast<std::uint16_t>(active ? 0x06B6 : 0x00B6), 0, 0, 0x40, 0, 0, 0, 0, 0});
    const CellRect& sel = sheet.selection();
    header(out_, biff::kSelection, 15);
    le::u8(out_, 3);
    le::u16(out_, static_cast<std::uint16_t>(sel.firstRow));
    le::u16(out_, static_cast<std::uint16_t>(sel.firstColumn));
    le::u16(out_, 0);
    le::u16(out_, 1);
    le::u16(out_, static_cast<std::uint16_t>(sel.firstRow));
    le::u16(out_, static_cast<std::uint16_t>(sel.lastRow));
    le::u8(out_, static_cast<std::uint8_t>(sel.firstColumn));
    le::u8(out_, static_cast<std::uint8_t>(sel.lastColumn));
    header(out_, biff::kEof, 0);
  }

  void writeColumns(const SheetData& sheet) {
    struct Run {
      int first, last;
      std::uint16_t units, xf, flags;
    };
    std::optional<Run> run;
    auto flush = [&] {
      if (!run) return;
      recordU16s(out_, biff::kColInfo,
                 {static_cast<std::uint16_t>(run->first), static_cast<std::uint16_t>(run->last), run->units, run->xf,
                  run->flags, 0});
      run.reset();
    };
    for (int c = 0; c < kMaxColumns; ++c) {
      const ColumnInfo& info = sheet.column(c);
      if (!info.customWidth && info.style.isDefault()) {
        flush();
        continue;
      }
      Run next{c, c, columnWidthUnits(info.customWidth ? info.width : kStandardColumnWidth), xfFor(info.style),
               static_cast<std::uint16_t>((info.customWidth ? 0x0002 : 0) | (info.bestFit ? 0x0004 : 0))};
      if (run && run->last == c - 1 && run->units == next.units && run->xf == next.xf && run->flags == next.flags) {
        run->last = c;
      } else {
        flush();
        run = next;
      }
    }
    flush();
  }

  void writeDimensions(const Layout& layout) {
    header(out_, biff::kDimensions, 14);
    if (layout.firstRow < 0) {
      le::u32(out_, 0);
      le::u32(out_, 0);
      le::u16(out_, 0);
      le::u16(out_, 0);
    } else {
      le::u32(out_, static_cast<std::uint32_t>(layout.firstRow));
      le::u32(out_, static_cast<std::uint32_t>(layout.lastRow + 1));
      le::u16(out_, static_cast<std::uint16_t>(layout.firstColumn));
      le::u16(out_, static_cast<std::uint16_t>(layout.lastColumn + 1));
    }
    le::u16(out_, 0);
  }

  // Rows go in blocks of 32: the block's row records, then its cells.
  void writeCells(const SheetData& sheet, const Layout& layout) {
    for (int start = 0; start < sheet.rowSpan(); start += 32) {
      int end = std::min(sheet.rowSpan(), start + 32);
      for (int r = start; r < end; ++r) {
        auto extent = layout.rows[static_cast<std::size_t>(r)];
        if (extent.first < 0) continue;
        recordU16s(out_, biff::kRow,
                   {static_cast<std::uint16_t>(r), static_cast<std::uint16_t>(extent.first),
                    static_cast<std::uint16_t>(extent.second + 1), 0x00FF, 0, 0, 0x0100, kDefaultCellXf});
      }
      for (int r = start; r < end; ++r) writeRow(sheet, r);
    }
  }

  void writeRow(const SheetData& sheet, int r) {
    auto row = sheet.row(r);
    for (int c = 0; c < static_cast<int>(row.size()); ++c) {
      const Cell& cell = row[static_cast<std::size_t>(c)];
      if (!written(cell, sheet.column(c))) continue;
      std::uint16_t xf = cellXfs_[nextXf_++];
      switch (cell.kind) {
        case Cell::Kind::Text: {
          CellHeader h(biff::kLabelSst, 10, r, c, xf);
          out_.append(h.bytes, sizeof h.bytes);
          le::u32(out_, cellStrings_[nextString_++]);
          break;
        }
        case Cell::Kind::Number:
        case Cell::Kind::Date: {
          CellHeader h(biff::kNumber, 14, r, c, xf);
          out_.append(h.bytes, sizeof h.bytes);
          le::f64(out_, cell.number);
          break;
        }
        case Cell::Kind::Boolean: {
          CellHeader h(biff::kBoolErr, 8, r, c, xf);
          out_.append(h.bytes, sizeof h.bytes);
          le::u8(out_, cell.number != 0 ? 1 : 0);
          le::u8(out_, 0);
          break;
        }
        case Cell::Kind::Empty: {
          CellHeader h(biff::kBlank, 6, r, c, xf);
          out_.append(h.bytes, sizeof h.bytes);
          break;
        }
      }
    }
  }

  const WorkbookData& book_;
  std::string out_;
  SharedStrings strings_;
  // What the first pass found, for the second to write: per sheet its used
  // block and each row's first and last written column; per written cell its
  // format and, for text, its string, in writing order.
  std::vector<Layout> layouts_;
  std::vector<std::uint16_t> cellXfs_;
  std::size_t nextXf_ = 0;
  std::vector<std::uint32_t> cellStrings_;
  std::size_t nextString_ = 0;
  std::unordered_map<std::uint32_t, std::uint16_t> xfOf_;
  std::vector<CellStyle> xfStyles_;
  std::uint32_t lastKey_ = 0;
  std::uint16_t lastXf_ = kDefaultCellXf;
  std::vector<std::uint16_t> formatIds_;
  std::vector<std::pair<std::uint16_t, const std::string*>> customFormats_;
  std::vector<std::size_t> sheetOffsetFields_;
};

}  // namespace

std::string buildWorkbookStream(const WorkbookData& book) { return StreamBuilder(book).build(); }

void saveWorkbook97(const WorkbookData& book, const std::filesystem::path& file) {
  std::string bytes = buildCompoundFile("Workbook", buildWorkbookStream(book));
  if (auto error = winapi::tryReplaceFileContents(file, bytes))
    throw sheetError(fmt::format("Cannot save the workbook as '{}': {}", file.string(), error.message()));
}

}  // namespace quill::spreadsheet
