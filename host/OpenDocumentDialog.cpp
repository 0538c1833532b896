#include "host/OpenDocumentDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace quill::host {

OpenDocumentDialog::OpenDocumentDialog(const DocumentKey& initial, QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbrirDocumento");
  setWindowTitle(QString::fromUtf8("Abrir documento de venda"));
  auto* form = new QFormLayout(this);
  type_ = new QLineEdit(QString::fromStdString(initial.type), this);
  type_->setObjectName("txtTipo");
  auto spin = [&](const char* name, int min, int max, int value) {
    auto* s = new QSpinBox(this);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    return s;
  };
  series_ = spin("txtSerie", 0, 9999, initial.series);
  number_ = spin("txtNumero", 1, 99999999, initial.number);
  year_ = spin("txtAno", 1900, 9999, initial.year);
  form->addRow(QString::fromUtf8("Tipo"), type_);
  form->addRow(QString::fromUtf8("Série"), series_);
  form->addRow(QString::fromUtf8("Número"), number_);
  form->addRow(QString::fromUtf8("Ano"), year_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

DocumentKey OpenDocumentDialog::key() const {
  return DocumentKey{type_->text().trimmed().toUpper().toStdString(), series_->value(), number_->value(),
                     year_->value()};
}

}  // namespace quill::host
