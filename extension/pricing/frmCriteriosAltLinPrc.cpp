#include "extension/pricing/frmCriteriosAltLinPrc.h"

#include "extension/pricing/CriteriosAltLinPrc.h"

namespace quill {

frmCriteriosAltLinPrc::frmCriteriosAltLinPrc(ui::Form& form, ui::UiServices& ui)
    : CriteriosDialog(form, ui, CriteriosAltLinPrc::controls(),
                      {{"Label1", "txtVndIni", "lblVndIniDescr"},
                       {"Label2", "txtVndFin", "lblVndFinDescr"},
                       {"Label3", "txtPrcIni", "lblPrcIniDescr"},
                       {"Label4", "txtPrcFin", "lblPrcFinDescr"},
                       {"Label5", "txtArtIni", "lblArtIniDescr"},
                       {"Label6", "txtArtFin", "lblArtFinDescr"},
                       {"Label7", "dtpDataIni", ""},
                       {"Label8", "dtpDataFin", ""}},
                      {"CmdConf", "CmdCancel"}) {}

}  // namespace quill
