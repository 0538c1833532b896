#pragma once

#include "extension/reports/CriteriosDialog.h"

namespace quill {

// The windows of the four criteria forms: their controls, rows and buttons;
// the rules are in CriteriosMapas, CriteriosMapasMediaVenda,
// CriteriosMapasPorVnd and CriteriosPendTolerancia.

class frmCriteriosMapas : public CriteriosDialog {
 public:
  frmCriteriosMapas(ui::Form& form, ui::UiServices& ui);
};

class frmCriteriosMapasMediaVenda : public CriteriosDialog {
 public:
  frmCriteriosMapasMediaVenda(ui::Form& form, ui::UiServices& ui);
};

class frmCriteriosMapasPorVnd : public CriteriosDialog {
 public:
  frmCriteriosMapasPorVnd(ui::Form& form, ui::UiServices& ui);
};

class frmCriteriosPendTolerancia : public CriteriosDialog {
 public:
  frmCriteriosPendTolerancia(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
