#include "extension/reports/frmCriterios.h"

#include "extension/reports/CriteriosMapas.h"
#include "extension/reports/CriteriosMapasMediaVenda.h"
#include "extension/reports/CriteriosMapasPorVnd.h"
#include "extension/reports/CriteriosPendTolerancia.h"

namespace quill {

frmCriteriosMapas::frmCriteriosMapas(ui::Form& form, ui::UiServices& ui)
    : CriteriosDialog(form, ui, CriteriosMapas::controls(),
                      {{"lblPrimeiro", "txtPrimeiro", "lblPrimeiroDescr"},
                       {"lblUltimo", "txtUltimo", "lblUltimoDescr"},
                       {"Label4", "txtVndIni", "lblVndIni"},
                       {"Label2", "txtVndFin", "lblVndFin"},
                       {"Label5", "txtZonIni", "lblZonIni"},
                       {"Label6", "txtZonFin", "lblZonFin"},
                       {"Label7", "txtCarIni", "lblCarIni"},
                       {"Label8", "txtCarFin", "lblCarFin"},
                       {"Label9", "dtpRefer", ""}},
                      {"CmdConf", "CmdCancel"}) {}

frmCriteriosMapasMediaVenda::frmCriteriosMapasMediaVenda(ui::Form& form, ui::UiServices& ui)
    : CriteriosDialog(form, ui, CriteriosMapasMediaVenda::controls(),
                      {{"lblPrimeiro", "txtArtIni", "lblArtIniDescr"},
                       {"lblUltimo", "txtArtFin", "lblArtFinDescr"},
                       {"Label1", "dtpDataIni", ""},
                       {"Label2", "dtpDataFin", ""}},
                      {"CmdConf", "CmdCancel"}) {}

frmCriteriosMapasPorVnd::frmCriteriosMapasPorVnd(ui::Form& form, ui::UiServices& ui)
    : CriteriosDialog(form, ui, CriteriosMapasPorVnd::controls(),
                      {{"Label1", "txtVndIni", "lblVndIniDescr"},
                       {"Label2", "txtVndFin", "lblVndFinDescr"},
                       {"lblPrimeiro", "txtPrcIni", "lblPrcIniDescr"},
                       {"lblUltimo", "txtPrcFin", "lblPrcFinDescr"}},
                      {"CmdConf", "CmdCancel"}) {}

frmCriteriosPendTolerancia::frmCriteriosPendTolerancia(ui::Form& form, ui::UiServices& ui)
    : CriteriosDialog(form, ui, CriteriosPendTolerancia::controls(),
                      {{"Label1", "txtCliIni", "txtCliIniDesc"},
                       {"Label2", "txtCliFin", "txtCliFinDesc"},
                       {"Label3", "txtVendIni", "txtVendIniDesc"},
                       {"Label4", "txtVendFin", "txtVendFinDesc"}},
                      {"cmdImprimir", "cmdSair"}) {
  setFrames("grbxHeader", "grbxFooterCommands");
}

}  // namespace quill
