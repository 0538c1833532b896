#include "extension/commissions/frmEditComGrp.h"

#include "extension/commissions/EditComGrp.h"

namespace quill {

frmEditComGrp::frmEditComGrp(ui::Form& form, ui::UiServices& ui)
    : GroupGridDialog(
          form, ui, EditComGrp::controls(),
          {"gbx1", {{{"Label1", 60}, {"cmbLinhaPrc", 300}}}, "grdLinPrecos", {}, {"CmdConf", "CmdCancel"}}) {
  resize(540, 520);
}

}  // namespace quill
