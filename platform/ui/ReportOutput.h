#pragma once

#include <QDateTime>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/TableDocument.h"

namespace quill::ui {

class UiServices;

// A report as it left the process.
struct PrintedReport {
  std::string name;            // the report's name, e.g. its file's name without the extension
  std::filesystem::path file;  // the PDF written; empty when the report was previewed on screen
  std::string text;            // what it prints, as TablePrinter::text gives it
  int pages = 0;
};

enum class ReportDestination { Preview, PdfFile };

// Where printed reports go, decided in this one place: on screen, a print
// preview from which the user prints; without a display, or whenever the
// environment variable QUILL_REPORT_DIR is set, a PDF file in that folder
// (with the path written on standard output), so that scripted runs and
// tests leave a document that can be read back.
class ReportOutput {
 public:
  static constexpr const char* kFolderVariable = "QUILL_REPORT_DIR";

  // The destination in this process: a PDF file when QUILL_REPORT_DIR is
  // set, when there is no application object, or when its platform has no
  // display ("offscreen", "minimal"); a preview otherwise.
  static ReportDestination destination();
  static ReportDestination destinationFor(bool hasApplication, std::string_view platformName, bool folderVariableSet);

  // The folder of PDF reports: QUILL_REPORT_DIR, else "quill-reports" in
  // the system's temporary folder. Created when missing.
  static std::filesystem::path folder();

  // A file name that no file in the folder has yet: the report's name and
  // the time to the second ("qor_VT_Pendentes_20261208-101500.pdf"), with
  // "_2", "_3"... when a report of that name was printed in the same second.
  static std::filesystem::path newFileName(const std::filesystem::path& folder, std::string_view reportName,
                                           const QDateTime& when);

  // Prints the table to the destination of this process: a preview shown
  // through ui.showModal over the owner window, or a new PDF file. The
  // report is remembered as the last printed one. PDF files that cannot be
  // written fail with an AutomationError naming the file.
  static PrintedReport print(const TableDocument& document, std::string_view reportName, UiServices& ui,
                             std::int32_t owner = 0);
  static PrintedReport print(const TableDocument& document, std::string_view reportName, UiServices& ui,
                             std::int32_t owner, ReportDestination destination);

  // Writes the table into a PDF file that must not exist yet; answers the
  // number of pages.
  static int writePdf(const TableDocument& document, const std::filesystem::path& file);

  // The last report printed in this process, if any.
  static std::optional<PrintedReport> lastPrinted();
  static void forgetLastPrinted();
};

}  // namespace quill::ui
