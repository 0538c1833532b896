#include "platform/ui/ReportOutput.h"

#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <cstdlib>
#include <iostream>
#include <system_error>

#include "platform/automation/AutomationError.h"
#include "platform/ui/TablePrinter.h"
#include "platform/ui/UiServices.h"

namespace quill::ui {

namespace fs = std::filesystem;

namespace {

std::optional<PrintedReport>& last() {
  static std::optional<PrintedReport> report;
  return report;
}

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const char* folderVariable() {
  const char* value = std::getenv(ReportOutput::kFolderVariable);
  return value && *value ? value : nullptr;
}

AutomationError fileError(const fs::path& file, const std::string& why) {
  return AutomationError(vberr::PathFileAccessError, "ReportOutput",
                         "O relatório não pode ser escrito em \"" + file.string() + "\": " + why);
}

}  // namespace

ReportDestination ReportOutput::destinationFor(bool hasApplication, std::string_view platformName,
                                               bool folderVariableSet) {
  if (folderVariableSet || !hasApplication) return ReportDestination::PdfFile;
  if (platformName == "offscreen" || platformName == "minimal" || platformName.empty())
    return ReportDestination::PdfFile;
  return ReportDestination::Preview;
}

ReportDestination ReportOutput::destination() {
  const bool hasApplication = QGuiApplication::instance() != nullptr;
  const std::string platform = hasApplication ? QGuiApplication::platformName().toStdString() : std::string();
  return destinationFor(hasApplication, platform, folderVariable() != nullptr);
}

fs::path ReportOutput::folder() {
  const char* variable = folderVariable();
  fs::path folder = variable ? fs::path(variable) : fs::temp_directory_path() / "quill-reports";
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) throw fileError(folder, "a pasta não existe e não pode ser criada");
  return folder;
}

fs::path ReportOutput::newFileName(const fs::path& folder, std::string_view reportName, const QDateTime& when) {
  const std::string stem =
      std::string(reportName) + "_" + when.toString(QStringLiteral("yyyyMMdd-hhmmss")).toStdString();
  std::error_code ec;
  fs::path file = folder / (stem + ".pdf");
  for (int n = 2; fs::exists(file, ec); ++n) file = folder / (stem + "_" + std::to_string(n) + ".pdf");
  return file;
}

int ReportOutput::writePdf(const TableDocument& document, const fs::path& file) {
  // Created exclusively, so that two reports never share a file.
  QFile out(QString::fromStdString(file.string()));
  if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) throw fileError(file, out.errorString().toStdString());
  int pages = 0;
  {
    TablePrinter printer(document);
    QPdfWriter pdf(&out);
    pdf.setTitle(qs(document.title));
    pdf.setCreator(QStringLiteral("Quill"));
    pdf.setResolution(600);
    pdf.setPageLayout(printer.pageLayout());
    pages = printer.print(pdf);
  }
  out.close();
  if (out.error() != QFileDevice::NoError) throw fileError(file, out.errorString().toStdString());
  return pages;
}

PrintedReport ReportOutput::print(const TableDocument& document, std::string_view reportName, UiServices& ui,
                                  std::int32_t owner) {
  return print(document, reportName, ui, owner, destination());
}

PrintedReport ReportOutput::print(const TableDocument& document, std::string_view reportName, UiServices& ui,
                                  std::int32_t owner, ReportDestination destination) {
  PrintedReport report;
  report.name = std::string(reportName);
  TablePrinter printer(document);
  report.text = printer.text();
  if (destination == ReportDestination::PdfFile) {
    const fs::path file = newFileName(folder(), reportName, QDateTime::currentDateTime());
    report.pages = writePdf(document, file);
    report.file = file;
    std::cout << file.string() << std::endl;
  } else {
    QPrinter device(QPrinter::HighResolution);
    device.setPageLayout(printer.pageLayout());
    device.setDocName(qs(document.title));
    QPrintPreviewDialog preview(&device);
    preview.setWindowTitle(qs(document.title));
    preview.resize(980, 820);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&](QPrinter* target) { report.pages = printer.print(*target); });
    ui.showModal(preview, owner);
  }
  last() = report;
  return report;
}

std::optional<PrintedReport> ReportOutput::lastPrinted() { return last(); }

void ReportOutput::forgetLastPrinted() { last().reset(); }

}  // namespace quill::ui
