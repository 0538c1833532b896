#pragma once

namespace quill {

class ClassFactory;
namespace ui {
class UiServices;
}

// The forms of the reports, by their names (frmCriteriosMapas, …), each a
// late-bound object over its window, and the report printer
// ("ReportPrinter"), as the commands create them.
void registerReportForms(ClassFactory& factory, ui::UiServices& ui);

}  // namespace quill
