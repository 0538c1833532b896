#pragma once

namespace quill {

class ClassFactory;
namespace ui {
class UiServices;
}

// The discount and commission editors by their names (frmEditGrpDescontos,
// frmEditComGrp, frmEditComissoes), each a late-bound object over its
// window, as the commands create them.
void registerCommissionForms(ClassFactory& factory, ui::UiServices& ui);

}  // namespace quill
