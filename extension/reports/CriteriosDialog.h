#pragma once

#include <string>
#include <vector>

#include "platform/ui/FormDialog.h"

namespace quill {

// The window of a criteria form: one row a range end (caption, code field,
// description), dates as rows of their own, the buttons bottom right. Rows
// whose field is hidden take no room; the rows shown are spread over the
// room above the buttons. Positions are the form's business only where its
// logic sets them (a mode's height and button top).
class CriteriosDialog : public ui::FormDialog {
 public:
  struct Row {
    std::string caption;      // a label
    std::string field;        // a code field or a picker
    std::string description;  // a label or a read-only field; may be empty
  };

  CriteriosDialog(ui::Form& form, ui::UiServices& ui, const std::vector<ui::ControlDef>& controls,
                  std::vector<Row> rows, std::vector<std::string> buttons);

  // Frames drawn around the rows and around the buttons.
  void setFrames(std::string rowsFrame, std::string buttonsFrame);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void layoutRows();
  int naturalHeight() const;

  std::vector<Row> rows_;
  std::vector<std::string> buttons_;
  std::string rowsFrame_, buttonsFrame_;
};

}  // namespace quill
