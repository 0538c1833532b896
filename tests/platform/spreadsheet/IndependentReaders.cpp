#include "tests/platform/spreadsheet/IndependentReaders.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace quill::spreadsheet::testing {

namespace fs = std::filesystem;

namespace {

std::string shellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Run {
  int status = -1;
  std::string output;
};

Run run(const std::string& command) {
  Run result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

fs::path scratchFolder() {
  static std::atomic<int> counter{0};
  fs::path folder =
      fs::temp_directory_path() / ("quill_readers_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  fs::create_directories(folder);
  return folder;
}

// Debian's interpreter first: another python3 earlier on PATH may lack the
// Debian package's modules.
const std::string& pythonWithXlrd() {
  static const std::string python = [] {
    for (std::string candidate : {"/usr/bin/python3", "python3"})
      if (run(candidate + " -c 'import xlrd' 2>/dev/null").status == 0) return candidate;
    return std::string();
  }();
  if (python.empty())
    throw std::runtime_error("xlrd is not installed: scripts/setup.sh installs python3-xlrd, which these tests need");
  return python;
}

constexpr const char* kXlrdScript = R"PY(
import io, json, sys, xlrd
from xlrd import compdoc
mode, path = sys.argv[1], sys.argv[2]
log = io.StringIO()
if mode == 'stream':
    with open(path, 'rb') as f:
        data = f.read()
    doc = compdoc.CompDoc(data, logfile=log)
    stream = doc.get_named_stream(sys.argv[3])
    with open(sys.argv[4], 'wb') as out:
        out.write(stream if stream is not None else b'')
    print(json.dumps({'found': stream is not None, 'warnings': log.getvalue()}))
    sys.exit(0)
book = xlrd.open_workbook(path, formatting_info=True, ragged_rows=True, logfile=log)
kinds = {0: 'empty', 1: 'text', 2: 'number', 3: 'date', 4: 'boolean', 5: 'error', 6: 'blank'}
sheets = []
for sh in book.sheets():
    cells = []
    if mode == 'cells':
        for r in range(sh.nrows):
            for c in range(sh.row_len(r)):
                cell = sh.cell(r, c)
                if cell.ctype == 0:
                    continue
                xf = book.xf_list[cell.xf_index]
                font = book.font_list[xf.font_index]
                fmt = book.format_map[xf.format_key].format_str
                item = {'row': r, 'col': c, 'type': kinds[cell.ctype], 'format': fmt,
                        'bold': bool(font.bold), 'italic': bool(font.italic),
                        'align': xf.alignment.hor_align}
                if cell.ctype == 1:
                    item['text'] = cell.value
                elif cell.ctype in (2, 3, 4):
                    item['number'] = float(cell.value)
                cells.append(item)
    widths = {str(c): info.width for c, info in sh.colinfo_map.items()}
    sheets.append({'name': sh.name, 'rows': sh.nrows, 'cols': sh.ncols, 'cells': cells, 'widths': widths})
print(json.dumps({'biff': book.biff_version, 'codepage': book.codepage or 0, 'sheets': sheets,
                  'warnings': log.getvalue()}))
)PY";

const fs::path& xlrdScript() {
  static const fs::path script = [] {
    fs::path file = scratchFolder() / "read_xls.py";
    std::ofstream(file) << kXlrdScript;
    return file;
  }();
  return script;
}

nlohmann::json runXlrd(const std::vector<std::string>& args) {
  std::string command = pythonWithXlrd() + " " + shellQuoted(xlrdScript().string());
  for (const auto& a : args) command += " " + shellQuoted(a);
  Run result = run(command + " 2>&1");
  if (result.status != 0) throw std::runtime_error("xlrd could not read the file: " + result.output);
  return nlohmann::json::parse(result.output);
}

std::vector<std::string> csvLine(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

const ReadCell* ReadSheet::at(int row, int column) const {
  for (const auto& cell : cells)
    if (cell.row == row && cell.column == column) return &cell;
  return nullptr;
}

ReadBook readWithXlrd(const fs::path& file, bool cellsToo) {
  auto json = runXlrd({cellsToo ? "cells" : "sizes", file.string()});
  ReadBook book;
  book.biffVersion = json["biff"];
  book.codepage = json["codepage"];
  book.warnings = json["warnings"];
  for (const auto& s : json["sheets"]) {
    ReadSheet sheet;
    sheet.name = s["name"];
    sheet.rows = s["rows"];
    sheet.columns = s["cols"];
    for (const auto& [column, width] : s["widths"].items()) sheet.widths[std::stoi(column)] = width;
    for (const auto& c : s["cells"]) {
      ReadCell cell;
      cell.row = c["row"];
      cell.column = c["col"];
      cell.type = c["type"];
      if (c.contains("text")) cell.text = c["text"];
      if (c.contains("number")) cell.number = c["number"];
      cell.format = c["format"];
      cell.bold = c["bold"];
      cell.italic = c["italic"];
      cell.alignment = c["align"];
      sheet.cells.push_back(std::move(cell));
    }
    book.sheets.push_back(std::move(sheet));
  }
  return book;
}

std::string streamWithXlrd(const fs::path& file, const std::string& stream, std::string& warnings) {
  fs::path out = scratchFolder() / "stream.bin";
  auto json = runXlrd({"stream", file.string(), stream, out.string()});
  warnings = json["warnings"];
  if (!json["found"].get<bool>()) throw std::runtime_error("no stream named " + stream);
  std::ifstream in(out, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::error_code ignored;
  fs::remove_all(out.parent_path(), ignored);
  return bytes.str();
}

std::vector<std::vector<std::string>> convertWithLibreOffice(const fs::path& file) {
  if (run("command -v soffice >/dev/null 2>&1").status != 0)
    throw std::runtime_error(
        "LibreOffice is not installed: scripts/setup.sh installs libreoffice-calc-nogui, which these tests need");
  // A profile of its own, so that conversions running at the same time do
  // not wait on each other's lock.
  fs::path folder = scratchFolder();
  std::string command = "soffice -env:UserInstallation=file://" + (folder / "profile").string() +
                        " --headless --convert-to " +
                        shellQuoted("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true") + " --outdir " +
                        shellQuoted((folder / "out").string()) + " " + shellQuoted(file.string()) + " 2>&1";
  Run result = run(command);
  fs::path csv = folder / "out" / file.filename().replace_extension(".csv");
  std::ifstream in(csv, std::ios::binary);
  if (!in) throw std::runtime_error("LibreOffice did not convert the file: " + result.output);
  std::vector<std::vector<std::string>> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(csvLine(line));
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return lines;
}

}  // namespace quill::spreadsheet::testing
