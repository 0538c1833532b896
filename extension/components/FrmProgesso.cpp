#include "extension/components/FrmProgesso.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/ui/UiServices.h"

namespace quill {

FrmProgesso::FrmProgesso(ui::UiServices& ui)
    : ui_(ui),
      form_(std::make_unique<QDialog>()),
      label_(new QLabel(form_.get())),
      progressBar_(new QProgressBar(form_.get())),
      timer_(new QTimer(form_.get())) {
  form_->setObjectName("FrmProgesso");
  form_->setWindowTitle(QString::fromUtf8("Inicialização Sage API"));
  form_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  label_->setObjectName("Label1");
  label_->setText(QString::fromUtf8("Sage API em inicialização. Aguarde ..."));
  progressBar_->setObjectName("ProgressBar1");
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  timer_->setObjectName("Timer1");
  timer_->setInterval(500);
  QObject::connect(timer_, &QTimer::timeout, form_.get(), [this] { advance(); });
  timer_->start();

  auto* layout = new QVBoxLayout(form_.get());
  layout->addWidget(label_);
  layout->addWidget(progressBar_);
  form_->setMinimumWidth(360);
}

FrmProgesso::~FrmProgesso() = default;

void FrmProgesso::setCaption(std::string_view caption) {
  form_->setWindowTitle(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

void FrmProgesso::setMessage(std::string_view message) {
  label_->setText(QString::fromUtf8(message.data(), static_cast<int>(message.size())));
}

void FrmProgesso::setProgressMaximum(int maximum) { progressBar_->setMaximum(maximum); }

void FrmProgesso::setProgressValue(int value) { progressBar_->setValue(value); }

void FrmProgesso::show() { ui_.showModeless(*form_); }

void FrmProgesso::hide() { form_->hide(); }

void FrmProgesso::advance() {
  int value = progressBar_->value() + 1;
  if (value >= progressBar_->maximum()) value = 1;
  progressBar_->setValue(value);
  progressBar_->repaint();
}

}  // namespace quill
