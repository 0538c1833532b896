#pragma once

#include <string>
#include <vector>

#include "platform/ui/FormDialog.h"

class QFrame;

namespace quill {

// The window of a group editor: a frame that fills the window but for a
// strip at the bottom, holding the key's fields in rows on top and the grid
// under them; in the strip a separator line, the buttons on the right
// and, when there are buttons on the left, a second line between the two.
// A window too small for it all lays out what fits.
class GroupGridDialog : public ui::FormDialog {
 public:
  struct Field {
    std::string name;  // empty: room left blank
    int width;         // pixels
  };
  struct Layout {
    std::string frame;
    std::vector<std::vector<Field>> keyRows;
    std::string grid;
    std::vector<std::string> leftButtons;
    std::vector<std::string> rightButtons;
  };

  GroupGridDialog(ui::Form& form, ui::UiServices& ui, const std::vector<ui::ControlDef>& controls, Layout layout);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutControls();

  Layout layout_;
  QFrame* line1_;
  QFrame* line2_;
};

}  // namespace quill
