#include "platform/ui/CodeField.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <utility>

namespace quill::ui {

namespace {

// Swallows the press, release and activation keys of buttons in a window
// whose code field has just refused to let the focus go: the focus change of
// a click comes before the click itself, so without this the button would
// still act on a value the field refused.
class RefusalGuard : public QObject {
 public:
  static RefusalGuard& instance() {
    static auto* guard = [] {
      auto* g = new RefusalGuard;
      qApp->installEventFilter(g);
      return g;
    }();
    return *guard;
  }

  void hold(CodeField* field) { field_ = field; }
  void release(CodeField* field) {
    if (field_ == field) field_ = nullptr;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!field_ || !field_->holdsFocus()) return false;
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick &&
        type != QEvent::KeyPress)
      return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button || button->window() != field_->window() || !causesValidation(button)) return false;
    if (type == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    }
    return true;
  }

 private:
  QPointer<CodeField> field_;
};

}  // namespace

bool causesValidation(const QWidget* widget) {
  if (!widget) return true;
  const QVariant value = widget->property(CodeField::kCausesValidation);
  return !value.isValid() || value.toBool();
}

CodeField::CodeField(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] {
    holding_ = false;
    RefusalGuard::instance().release(this);
  });
}

CodeField::~CodeField() { RefusalGuard::instance().release(this); }

bool CodeField::leave() {
  if (!validator_ || validating_) return true;
  validating_ = true;
  bool accepted = false;
  try {
    accepted = validator_(*this);
  } catch (...) {
    validating_ = false;
    throw;
  }
  validating_ = false;
  holding_ = !accepted;
  if (holding_)
    RefusalGuard::instance().hold(this);
  else
    RefusalGuard::instance().release(this);
  return accepted;
}

void CodeField::askLookup() {
  if (lookup_) lookup_(*this);
}

void CodeField::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && enterMovesOn_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    event->accept();
    focusNextChild();
    return;
  }
  if (event->key() == Qt::Key_L && event->modifiers() == Qt::ControlModifier) {
    event->accept();
    askLookup();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void CodeField::focusInEvent(QFocusEvent* event) {
  skipNextLeave_ = false;
  QLineEdit::focusInEvent(event);
}

void CodeField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (std::exchange(skipNextLeave_, false)) return;
  // Only a move to another control of the same window validates: a box or
  // a lookup opening over the window, or another window taking over, does not.
  const auto reason = event->reason();
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  QWidget* next = QApplication::focusWidget();
  if (next && next->window() != window()) return;
  if (!causesValidation(next)) return;
  bool accepted = true;
  try {
    accepted = leave();
  } catch (...) {
    // A validator shows its own failures; none may cross the event loop.
  }
  if (!accepted) {
    // Back into the field once the focus change in progress has finished.
    QPointer<CodeField> self(this);
    QTimer::singleShot(0, this, [self] {
      if (self) self->setFocus(Qt::OtherFocusReason);
    });
  }
}

}  // namespace quill::ui
