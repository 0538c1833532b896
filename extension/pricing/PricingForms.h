#pragma once

namespace quill {

class ClassFactory;
namespace ui {
class UiServices;
}

// The forms of price maintenance by their names (frmEditLinPrecos, …), each
// a late-bound object over its window. They make the criteria forms and the
// report printer they print with from the same factory, which must outlive
// them.
void registerPricingForms(ClassFactory& factory, ui::UiServices& ui);

}  // namespace quill
