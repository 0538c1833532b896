#include "platform/ui/QtUiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "platform/ui/MessageButtons.h"

namespace quill::ui {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

QMessageBox::Icon iconOf(const MessageBox& box) {
  switch (box.icon()) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The caption of the button that answers `answer`, in the users' language.
QString buttonText(int answer) {
  switch (answer) {
    case 1:
      return QStringLiteral("OK");
    case 2:
      return QStringLiteral("Cancelar");
    case 3:
      return QStringLiteral("Abortar");
    case 4:
      return QStringLiteral("Repetir");
    case 5:
      return QStringLiteral("Ignorar");
    case 6:
      return QStringLiteral("Sim");
    default:
      return QStringLiteral("Não");
  }
}

// Ends a local event loop when the watched form is hidden or closed, which
// is when a VB modal Show returns.
class HideWatcher : public QObject {
 public:
  HideWatcher(QWidget& form, QEventLoop& loop) : loop_(loop) { form.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide || event->type() == QEvent::Close) loop_.quit();
    return false;
  }

 private:
  QEventLoop& loop_;
};

}  // namespace

QtUiServices::QtUiServices() = default;
QtUiServices::~QtUiServices() = default;

int QtUiServices::msgBox(const MessageBox& box) {
  QMessageBox dialog(iconOf(box), qs(box.title.empty() ? std::string_view("Quill") : box.title), qs(box.prompt),
                     QMessageBox::NoButton, QApplication::activeWindow());
  auto answers = buttonAnswers(box);
  std::map<QAbstractButton*, int> answerOf;
  for (int answer : answers) {
    auto role = answer == 2 || answer == 7 ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
    QPushButton* button = dialog.addButton(buttonText(answer), role);
    answerOf[button] = answer;
    if (answer == defaultAnswer(box)) dialog.setDefaultButton(button);
    if (answer == 2 || (answers.size() == 1)) dialog.setEscapeButton(button);
  }
  dialog.exec();
  auto it = answerOf.find(dialog.clickedButton());
  // Closing the box without a button is Cancel where there is one.
  if (it == answerOf.end()) return answers.size() == 1 ? answers.front() : 2;
  return it->second;
}

void QtUiServices::showModal(QWidget& form, std::int32_t owner) {
  QWidget* parent = owner ? QWidget::find(static_cast<WId>(owner)) : nullptr;
  if (!parent) parent = QApplication::activeWindow();
  if (parent && parent != &form && !form.parentWidget()) form.setParent(parent, form.windowFlags() | Qt::Dialog);
  form.setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  HideWatcher watcher(form, loop);
  QPointer<QWidget> guard(&form);
  form.show();
  if (guard && guard->isVisible()) loop.exec(QEventLoop::DialogExec);
}

void QtUiServices::showModeless(QWidget& form) {
  form.show();
  form.raise();
}

void QtUiServices::processEvents() { QApplication::processEvents(QEventLoop::AllEvents); }

void QtUiServices::processEventsExceptInput() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void QtUiServices::setBusyCursor(bool busy) {
  if (busy) {
    ++busyDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    --busyDepth_;
    QApplication::restoreOverrideCursor();
  }
}

// The bar appears only when the work lasts (QProgressDialog's estimate of
// the time left), without a cancel button: the work cannot be broken off.
void QtUiServices::showProgress(std::string_view caption, std::int64_t done, std::int64_t total) {
  if (total <= 0) {
    progress_.reset();
    return;
  }
  if (!progress_) {
    progress_ = std::make_unique<QProgressDialog>();
    progress_->setCancelButton(nullptr);
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(500);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
  }
  progress_->setLabelText(qs(caption));
  // QProgressDialog counts in int.
  const double scale = total > 1000000 ? 1000000.0 / static_cast<double>(total) : 1.0;
  progress_->setMaximum(static_cast<int>(static_cast<double>(total) * scale));
  progress_->setValue(static_cast<int>(static_cast<double>(std::min(done, total)) * scale));
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::string qtFileFilter(std::string_view vbFilter) {
  std::string out;
  std::size_t pos = 0;
  while (pos < vbFilter.size()) {
    auto bar = vbFilter.find('|', pos);
    std::string_view description =
        vbFilter.substr(pos, bar == std::string_view::npos ? std::string_view::npos : bar - pos);
    std::string_view patterns;
    if (bar != std::string_view::npos) {
      auto next = vbFilter.find('|', bar + 1);
      patterns = vbFilter.substr(bar + 1, next == std::string_view::npos ? std::string_view::npos : next - bar - 1);
      pos = next == std::string_view::npos ? vbFilter.size() : next + 1;
    } else {
      pos = vbFilter.size();
    }
    // Qt reads the patterns from the parentheses of the description.
    std::string name(description.substr(0, description.find('(')));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    std::string list(patterns);
    for (char& c : list)
      if (c == ';') c = ' ';
    if (!out.empty()) out += ";;";
    out += name + " (" + list + ")";
  }
  return out;
}

std::optional<std::filesystem::path> QtUiServices::saveFileDialog(const SaveFileRequest& request) {
  QString file = QFileDialog::getSaveFileName(QApplication::activeWindow(), qs(request.title),
                                              qs(request.initialFileName), qs(qtFileFilter(request.filter)));
  if (file.isEmpty()) return std::nullopt;
  return std::filesystem::path(file.toStdString());
}

bool QtUiServices::openWithDefaultProgram(const std::filesystem::path& file) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

std::uint32_t QtUiServices::setTimer(int intervalMs, std::function<void()> onTick) {
  auto id = nextTimerId_++;
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(intervalMs);
  QObject::connect(timer.get(), &QTimer::timeout, std::move(onTick));
  timer->start();
  timers_.emplace(id, std::move(timer));
  return id;
}

void QtUiServices::killTimer(std::uint32_t timerId) { timers_.erase(timerId); }

}  // namespace quill::ui
