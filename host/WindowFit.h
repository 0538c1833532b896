#pragma once

class QLineEdit;
class QWidget;

namespace quill::host {

// Window managers cut a title that does not fit and a field shows only the
// start of a long path: the host's small dialogs widen themselves instead,
// up to most of the screen.

// At least as wide as its title needs, with room for the title bar's buttons.
void widenForTitle(QWidget& window);
// Wide enough to show the whole of the text it holds now.
void widenForText(QLineEdit& edit);

}  // namespace quill::host
