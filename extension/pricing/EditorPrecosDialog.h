#pragma once

#include <string>
#include <vector>

#include "platform/ui/FormDialog.h"

namespace quill {

// The window of a bulk price editor: on top the range fields (caption,
// code, description) in one frame and the change in another, inside the
// header frame; the grid under them taking the room left; the buttons at
// the foot. Everything follows the window's size. The grid's cells are
// drawn in Verdana 8, its headings in Segoe UI 9.
class EditorPrecosDialog : public ui::FormDialog {
 public:
  struct Layout {
    std::string header, rangesFrame, changeFrame, grid;
    // label, field, description
    std::vector<std::vector<std::string>> ranges;
    // each row: a caption and its controls
    std::vector<std::vector<std::string>> change;
    std::vector<std::string> leftButtons, rightButtons;
  };

  EditorPrecosDialog(ui::Form& form, ui::UiServices& ui, const std::vector<ui::ControlDef>& controls,
                     const Layout& layout);
};

// The windows of the two editors and of the price-line changes criteria;
// the rules are in EditAltPrecos, EditAltLinPrecos and CriteriosAltLinPrc.
class frmEditAltPrecos : public EditorPrecosDialog {
 public:
  frmEditAltPrecos(ui::Form& form, ui::UiServices& ui);
};

class frmEditAltLinPrecos : public EditorPrecosDialog {
 public:
  frmEditAltLinPrecos(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
