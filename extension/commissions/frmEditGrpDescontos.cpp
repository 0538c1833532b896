#include "extension/commissions/frmEditGrpDescontos.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>

#include "extension/commissions/EditGrpDescontos.h"

namespace quill {

frmEditGrpDescontos::frmEditGrpDescontos(ui::Form& form, ui::UiServices& ui)
    : GroupGridDialog(form, ui, EditGrpDescontos::controls(),
                      {"gbx1",
                       {{{"Label1", 48}, {"txtCli", 110}, {"lblCli", 300}}, {{"", 48}, {"cmbClientes", 418}}},
                       "grdGrpDesc",
                       {"CmdPrint"},
                       {"CmdConf", "CmdCancel"}}) {
  auto& name = widgetAs<QLabel>("lblCli");
  name.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  name.setMargin(2);
  // The list's entries are a code in 15 characters and a name: they line up
  // in a fixed-width font.
  widget("cmbClientes").setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  resize(520, 540);
}

}  // namespace quill
