#include "extension/core/FrmProgesso.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace quill {

FrmProgesso::FrmProgesso(QWidget* parent)
    : QDialog(parent), label_(new QLabel(this)), progressBar_(new QProgressBar(this)), timer_(new QTimer(this)) {
  setObjectName("FrmProgesso");
  setWindowTitle(QString::fromUtf8("Inicialização Sage API"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  label_->setObjectName("Label1");
  label_->setText(QString::fromUtf8("Sage API em inicialização. Aguarde ..."));
  progressBar_->setObjectName("ProgressBar1");
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  timer_->setObjectName("Timer1");
  timer_->setInterval(500);
  connect(timer_, &QTimer::timeout, this, &FrmProgesso::advance);
  timer_->start();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(progressBar_);
  setMinimumWidth(360);
}

void FrmProgesso::advance() {
  int value = progressBar_->value() + 1;
  if (value >= progressBar_->maximum()) value = 1;
  progressBar_->setValue(value);
  progressBar_->repaint();
}

}  // namespace quill
