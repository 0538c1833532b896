#include "extension/discounts/frmCriteriosDescCliGrupo.h"

#include "extension/discounts/CriteriosDescCliGrupo.h"

namespace quill {

frmCriteriosDescCliGrupo::frmCriteriosDescCliGrupo(ui::Form& form, ui::UiServices& ui)
    : GroupGridDialog(form, ui, CriteriosDescCliGrupo::controls(),
                      {"grbxHeader",
                       {{{"Label1", 100},
                         {"txtCliIni", 110},
                         {"txtCliIniDesc", 300},
                         {"", 40},
                         {"Label3", 100},
                         {"txtVendIni", 80},
                         {"txtVendIniDesc", 300}},
                        {{"Label2", 100},
                         {"txtCliFin", 110},
                         {"txtCliFinDesc", 300},
                         {"", 40},
                         {"Label4", 100},
                         {"txtVendFin", 80},
                         {"txtVendFinDesc", 300}}},
                       CriteriosDescCliGrupo::kGrid,
                       {},
                       {"cmdImprimir", "CmdExportar", "cmdSair"}}) {
  setObjectName(CriteriosDescCliGrupo::kFormName);
  resize(1240, 660);
}

}  // namespace quill
