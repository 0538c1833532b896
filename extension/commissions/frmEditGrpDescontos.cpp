#include "extension/commissions/frmEditGrpDescontos.h"

#include <QFrame>
#include <QLabel>

#include "extension/commissions/EditGrpDescontos.h"

namespace quill {

frmEditGrpDescontos::frmEditGrpDescontos(ui::Form& form, ui::UiServices& ui)
    : GroupGridDialog(form, ui, EditGrpDescontos::controls(),
                      {"gbx1",
                       {{"Label1", 48}, {"txtCli", 110}, {"lblCli", 220}, {"cmbClientes", 60}},
                       "grdGrpDesc",
                       {"CmdPrint"},
                       {"CmdConf", "CmdCancel"}}) {
  auto& name = widgetAs<QLabel>("lblCli");
  name.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  name.setMargin(2);
  resize(520, 520);
}

}  // namespace quill
