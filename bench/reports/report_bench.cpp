// The pending-documents report over every client of the large company,
// printed to PDF by the report printer, beside a bare QPdfWriter/QPainter
// loop that draws the same cells (same texts, fonts and page breaks) after
// the same query: what the report engine costs over drawing the page.

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench/erp/BenchCompany.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "extension/components/ReportFile.h"
#include "extension/components/ReportPrinter.h"
#include "extension/components/ReportQuery.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

namespace {

using namespace quill;
namespace fs = std::filesystem;

fs::path binFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

fs::path reportFolder() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / "quill-report-bench";
    fs::remove_all(f);
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

// Every client, seller, zone and portfolio, at the end of the documents' period.
std::vector<std::string> everyPending() {
  return {"", " ", "ZZZZZZZZ", "", "ZZZZZZZZ", "", "ZZZZZZZZ", "", "ZZZZZZZZ", "30-06-2026"};
}

void clearFolder() {
  for (const auto& entry : fs::directory_iterator(reportFolder())) fs::remove(entry.path());
}

// Lines printed, pages, and the time a line takes.
void count(benchmark::State& state, std::int64_t lines, int pages) {
  state.counters["pages"] = pages;
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["per_line"] = benchmark::Counter(
      static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReportPrinter_Pendentes_Large(benchmark::State& state) {
  const auto& company = bench::largeCompany();
  ui::ScriptedUiServices ui;
  std::int64_t rows = 0;
  int pages = 0;
  for (auto _ : state) {
    ReportPrinter printer(ui);
    printer.setTipoRelatorio(2);
    printer.setServidor(company.dataFolder.string());
    printer.setBaseDados(company.databaseName);
    printer.setUtilizador("sa");
    printer.setPassWord("");
    printer.setFicheiroRelatorio((binFolder() / "qor_VT_Pendentes.rpt").string());
    printer.setDestino(1);
    if (!printer.Imprimir(everyPending(), true)) state.SkipWithError(ui.boxes().back().prompt.c_str());
    auto last = ui::ReportOutput::lastPrinted();
    pages = last ? last->pages : 0;
    state.PauseTiming();
    rows = 0;
    for (char c : last->text)
      if (c == '\n') ++rows;
    clearFolder();
    state.ResumeTiming();
  }
  count(state, rows, pages);
}
BENCHMARK(BM_ReportPrinter_Pendentes_Large)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same query, then the cells drawn one by one: the report's fonts, line
// heights, group headings, totals and page breaks, without a layout engine.
void BM_PdfBaseline_SameCells(benchmark::State& state) {
  const auto& company = bench::largeCompany();
  const ReportFile report = ReportFile::load(binFolder() / "qor_VT_Pendentes.rpt");
  std::int64_t lines = 0;
  int pages = 0;
  for (auto _ : state) {
    const BoundQuery query = bindReportQuery(report, everyPending());
    DataAccess data;
    data.OpenConnection(
        buildConnectionString("MSDataShape", "SQLOLEDB", company.dataFolder.string(), company.databaseName, "sa", ""));
    auto rs = data.GetConnection()->query(query.sql, query.values);

    const fs::path file = reportFolder() / "baseline.pdf";
    QPdfWriter pdf(QString::fromStdString(file.string()));
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 10, 12, 10),
                                  QPageLayout::Millimeter));
    QPainter painter(&pdf);
    auto font = [](double points, bool bold) {
      QFont f("DejaVu Sans");
      f.setPointSizeF(points);
      f.setBold(bold);
      return f;
    };
    const QFont body = font(8, false), bold = font(8, true), heading0 = font(9, true), heading1 = font(8.5, true);
    auto height = [&](const QFont& f) { return QFontMetricsF(f, &pdf).height(); };
    const double pt = pdf.logicalDpiY() / 72.0, width = pdf.width();
    const double rowH = height(body) * 1.35;
    const double heading0H = height(heading0) * 1.9, heading1H = height(heading1) * 1.6;
    const double totalH = height(bold) * 1.5 + 3 * pt;
    const double top =
        height(font(13, true)) * 1.15 + 3 * height(font(8.5, false)) * 1.2 + 8 * pt + height(bold) * 1.7 + 2 * pt;
    const double bottom = pdf.height() - height(font(7.5, false)) * 1.8;
    const double widths[] = {1600, 1150, 1300, 1250, 1500, 1500};
    const int align[] = {Qt::AlignLeft,  Qt::AlignHCenter, Qt::AlignHCenter,
                         Qt::AlignRight, Qt::AlignRight,   Qt::AlignRight};
    const char* formats[] = {"", "dd-mm-yyyy", "dd-mm-yyyy", "0", "#,##0.00", "#,##0.00"};
    double x[7] = {0};
    for (int c = 0; c < 6; ++c) x[c + 1] = x[c] + widths[c] / 8300.0 * width;

    double y = top;
    pages = 1;
    lines = 0;
    std::string sellerHeading, clientHeading;
    auto text = [&](const QFont& f, double left, double right, double at, double h, int flags, const QString& t) {
      painter.setFont(f);
      painter.drawText(QRectF(left, at, right - left, h), flags | Qt::AlignVCenter, t);
    };
    // A page that starts inside a group repeats its headings, as the report does.
    auto line = [&](double h, int continued) {
      if (y + h > bottom) {
        pdf.newPage();
        ++pages;
        y = top;
        if (continued > 0) {
          text(heading0, 0, width, y, heading0H, Qt::AlignLeft,
               QString::fromStdString(sellerHeading + " (continuação)"));
          y += heading0H;
        }
        if (continued > 1) {
          text(heading1, 0, width, y, heading1H, Qt::AlignLeft,
               QString::fromStdString(clientHeading + " (continuação)"));
          y += heading1H;
        }
      }
      const double at = y;
      y += h;
      ++lines;
      return at;
    };
    const std::size_t seller = rs->fieldIndex("VENDEDOR"), client = rs->fieldIndex("CLIENTE");
    const std::size_t fields[] = {rs->fieldIndex("DATA"), rs->fieldIndex("DATAVENC"), rs->fieldIndex("DIAS"),
                                  rs->fieldIndex("VALOR"), rs->fieldIndex("PENDENTE")};
    std::string lastSeller, lastClient;
    double sums[3][2] = {{0, 0}, {0, 0}, {0, 0}};
    auto total = [&](int level, const std::string& caption) {
      const double at = line(totalH, level == 1 ? 2 : level == 0 ? 1 : 0);
      text(bold, 0, x[4], at, rowH, Qt::AlignLeft, QString::fromStdString(caption));
      for (int s = 0; s < 2; ++s)
        text(bold, x[4 + s], x[5 + s], at, rowH, Qt::AlignRight,
             QString::fromStdString(vb::Format(Variant(sums[level][s]), "#,##0.00")));
      sums[level][0] = sums[level][1] = 0;
    };
    for (; !rs->eof(); rs->moveNext()) {
      const std::string s = vb::CStr(rs->value(seller)), c = vb::CStr(rs->value(client));
      if (c != lastClient && !lastClient.empty()) total(1, "Total do cliente " + lastClient);
      if (s != lastSeller && !lastSeller.empty()) total(0, "Total do vendedor " + lastSeller);
      if (s != lastSeller) {
        sellerHeading = "Vendedor " + s + " - " + vb::CStr(rs->value("NOMEVENDEDOR"));
        const double at = line(heading0H + heading1H + rowH, 0);
        y = at + heading0H;
        text(heading0, 0, width, at, heading0H, Qt::AlignLeft, QString::fromStdString(sellerHeading));
      }
      if (c != lastClient || s != lastSeller) {
        clientHeading = "Cliente " + c + " - " + vb::CStr(rs->value("NOMECLIENTE")) + "   (zona " +
                        vb::CStr(rs->value("ZONA")) + ", carteira " + vb::CStr(rs->value("CARTEIRA")) + ")";
        const double at = line(heading1H + rowH, 1);
        y = at + heading1H;
        text(heading1, 0, width, at, heading1H, Qt::AlignLeft, QString::fromStdString(clientHeading));
      }
      lastSeller = s;
      lastClient = c;
      const double at = line(rowH, 2);
      text(body, x[0], x[1], at, rowH, align[0],
           QString::fromStdString(vb::CStr(rs->value("TPDOC")) + " " + vb::CStr(rs->value("SERIE")) + "/" +
                                  vb::CStr(rs->value("NNUMDOC"))));
      for (int f = 0; f < 5; ++f) {
        const Variant& v = rs->value(fields[f]);
        text(body, x[f + 1], x[f + 2], at, rowH, align[f + 1],
             QString::fromStdString(v.isNull() ? std::string() : vb::Format(v, formats[f + 1])));
      }
      for (int level = 0; level < 3; ++level) {
        sums[level][0] += vb::CDbl(rs->value(fields[3]));
        sums[level][1] += vb::CDbl(rs->value(fields[4]));
      }
    }
    total(1, "Total do cliente " + lastClient);
    total(0, "Total do vendedor " + lastSeller);
    total(2, "Total geral");
    painter.end();
    state.PauseTiming();
    fs::remove(file);
    state.ResumeTiming();
  }
  count(state, lines, pages);
}
BENCHMARK(BM_PdfBaseline_SameCells)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv(ui::ReportOutput::kFolderVariable, reportFolder().c_str(), 1);
  QApplication app(argc, argv);
  // Each report prints its file's path on standard output; the results keep
  // it to themselves.
  std::ostream results(std::cout.rdbuf());
  std::ofstream discarded("/dev/null");
  std::cout.rdbuf(discarded.rdbuf());
  benchmark::Initialize(&argc, argv);
  benchmark::ConsoleReporter reporter;
  reporter.SetOutputStream(&results);
  reporter.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::cout.rdbuf(results.rdbuf());
  benchmark::Shutdown();
  return 0;
}
