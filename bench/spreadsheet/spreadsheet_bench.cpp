// Exporting a report of 10,000 rows and 10 columns to a 97-2003 workbook the
// way a report export drives the spreadsheet application (late-bound, a call
// per cell property), beside writing the same cells as CSV. Target: the
// export at most 3 times the CSV.
#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "platform/automation/RunningObjects.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/spreadsheet/SheetConstants.h"
#include "platform/vb/Conversions.h"

namespace {

using namespace quill;
namespace fs = std::filesystem;

constexpr int kRows = 10000;
constexpr int kColumns = 10;

// The records of a client/group discounts report: per client a line of
// group names, a line of discounts and a separator; a client code that
// reads as a number, a name, a discount per kilogram, then group cells.
struct Report {
  std::vector<std::string> captions;
  std::vector<std::vector<Variant>> rows;
};

const Report& report() {
  static const Report r = [] {
    Report out;
    out.captions = {"Cliente", "Nome", "Desconto", "Linha", "Tipo", "", "", "", "", ""};
    const char* groups[] = {"Açúcar", "Farinhas", "Óleos", "Arroz", "Massas", "Conservas", "Bebidas"};
    for (int r = 0; r < kRows; ++r) {
      int client = r / 3;
      std::vector<Variant> row;
      switch (r % 3) {
        case 0:
          row = {Variant(fmt::format("{:06d}", client)), Variant("Cliente Pão de Açúcar " + std::to_string(client)),
                 Variant(client % 4 ? 0.0125 * client : 0.0), Variant(std::int32_t{1}), Variant(std::int32_t{1})};
          for (int k = 5; k < kColumns; ++k) row.emplace_back(groups[(client + k) % 7]);
          break;
        case 1:
          row = {Variant(""), Variant(""), Variant(""), Variant(std::int32_t{2}), Variant(std::int32_t{2})};
          for (int k = 5; k < kColumns; ++k) row.emplace_back(((client * 7 + k) % 150) / 10.0);
          break;
        default:
          row = {Variant(""), Variant(""), Variant(""), Variant(std::int32_t{3}), Variant(std::int32_t{2})};
          for (int k = 5; k < kColumns; ++k) row.emplace_back("");
          break;
      }
      out.rows.push_back(std::move(row));
    }
    return out;
  }();
  return r;
}

// How the export writes a value of the k-th column: a number in the code
// column as its text, any other number as a number, a text as it is. Both
// benchmarks decide the same way, so that they write the same cells.
enum class Written { Code, Number, Text };

Written classify(const Variant& value, int k) {
  bool numeric = !value.isString() || (!value.stringValue().empty() && vb::IsNumeric(value));
  if (!numeric) return Written::Text;
  return k == 1 ? Written::Code : Written::Number;
}

fs::path outputFile(const char* extension) {
  return fs::temp_directory_path() / ("quill_spreadsheet_bench_" + std::to_string(::getpid()) + extension);
}

// The export: attach to a running application or create one, a workbook,
// every cell with its value, number format, font and alignment, the bold
// headings, each column fitted and aligned, A1 selected, saved as file
// format 56, closed, the application quit.
void exportToWorkbook(const Report& data, const fs::path& file) {
  DispatchPtr app;
  try {
    app = getActiveObject("Excel.Application");
  } catch (const AutomationError&) {
    app = createObject("Excel.Application");
  }
  auto book = late::call(late::get(app, "Workbooks").objectValue(), "Add").objectValue();
  auto sheet = late::get(book, "ActiveSheet").objectValue();
  for (int r = 0; r < kRows; ++r) {
    const auto& row = data.rows[static_cast<std::size_t>(r)];
    for (int k = 1; k <= kColumns; ++k) {
      const Variant& value = row[static_cast<std::size_t>(k - 1)];
      auto cell = late::get(sheet, "Cells", {Variant(std::int32_t{r + 2}), Variant(std::int32_t{k})}).objectValue();
      Written written = classify(value, k);
      if (written == Written::Code) {
        late::let(cell, "NumberFormat", "@");
        late::let(cell, "Value", vb::CStr(value));
      } else if (written == Written::Number) {
        late::let(cell, "NumberFormat", "#.0000");
        late::let(cell, "Value", vb::CDbl(value));
        late::let(cell, "HorizontalAlignment", Variant(spreadsheet::xlCenter));
      } else {
        late::let(cell, "NumberFormat", "@");
        late::let(cell, "Value", value);
        auto font = late::get(cell, "Font").objectValue();
        late::let(font, "Bold", true);
        if (k >= 6) late::let(font, "Italic", true);
      }
    }
  }
  for (int k = 1; k <= kColumns; ++k) {
    auto heading = late::get(sheet, "Cells", {Variant(std::int32_t{1}), Variant(std::int32_t{k})}).objectValue();
    late::let(heading, "Value", data.captions[static_cast<std::size_t>(k - 1)]);
    late::let(late::get(heading, "Font").objectValue(), "Bold", true);
    auto column = late::get(sheet, "Columns", {Variant(std::int32_t{k})}).objectValue();
    late::call(column, "AutoFit");
    late::let(column, "HorizontalAlignment", Variant(k == 3 ? spreadsheet::xlCenter : spreadsheet::xlLeft));
  }
  late::call(late::get(sheet, "Range", {Variant("A1")}).objectValue(), "Select");
  late::call(book, "SaveAs", {Variant(file.string()), Variant(spreadsheet::xlExcel8)});
  late::call(book, "Close", {Variant(false)});
  late::call(app, "Quit");
}

// The same cells as CSV: texts quoted when they must be, numbers with the
// four decimals the workbook shows.
void writeCsv(const Report& data, const fs::path& file) {
  std::string out;
  auto text = [&out](const std::string& value) {
    if (value.find_first_of(",\"\n") == std::string::npos) {
      out += value;
      return;
    }
    out += '"';
    for (char c : value) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    out += '"';
  };
  for (int k = 0; k < kColumns; ++k) {
    if (k) out += ',';
    text(data.captions[static_cast<std::size_t>(k)]);
  }
  out += "\r\n";
  for (const auto& row : data.rows) {
    for (int k = 1; k <= kColumns; ++k) {
      if (k > 1) out += ',';
      const Variant& value = row[static_cast<std::size_t>(k - 1)];
      switch (classify(value, k)) {
        case Written::Code:
          text(vb::CStr(value));
          break;
        case Written::Number:
          fmt::format_to(std::back_inserter(out), "{:.4f}", vb::CDbl(value));
          break;
        case Written::Text:
          text(value.stringValue());
          break;
      }
    }
    out += "\r\n";
  }
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(out.data(), static_cast<std::streamsize>(out.size()));
}

void BM_ExportToExcel_10000Rows(benchmark::State& state) {
  const Report& data = report();
  fs::path file = outputFile(".xls");
  for (auto _ : state) exportToWorkbook(data, file);
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

void BM_CsvBaseline_10000Rows(benchmark::State& state) {
  const Report& data = report();
  fs::path file = outputFile(".csv");
  for (auto _ : state) writeCsv(data, file);
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

BENCHMARK(BM_CsvBaseline_10000Rows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportToExcel_10000Rows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
