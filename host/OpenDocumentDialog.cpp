#include "host/OpenDocumentDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "host/CompanyCatalog.h"
#include "host/WindowFit.h"

namespace quill::host {

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

OpenDocumentDialog::OpenDocumentDialog(const CompanyCatalog& catalog, const DocumentKey& initial, QWidget* parent)
    : QDialog(parent), catalog_(catalog) {
  setObjectName("frmAbrirDocumento");
  setWindowTitle(QString::fromUtf8("Abrir documento de venda"));
  auto* form = new QFormLayout(this);
  type_ = new QComboBox(this);
  type_->setObjectName("cmbTipo");
  for (const auto& t : catalog_.salesDocumentTypes()) type_->addItem(qs(t.code + " - " + t.description), qs(t.code));
  type_->setCurrentIndex(std::max(0, type_->findData(qs(initial.type), Qt::UserRole, Qt::MatchFixedString)));
  series_ = new QComboBox(this);
  series_->setObjectName("cmbSerie");
  auto spin = [&](const char* name, int min, int max, int value) {
    auto* s = new QSpinBox(this);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setAlignment(Qt::AlignRight);
    return s;
  };
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
  connect(type_, &QComboBox::currentIndexChanged, this, [this] { fillSeries(series_->currentData().toInt()); });
  fillSeries(initial.series);
  widenForTitle(*this);
}

void OpenDocumentDialog::fillSeries(int wanted) {
  series_->clear();
  for (const auto& s : catalog_.seriesList(type_->currentData().toString().toStdString()))
    series_->addItem(qs(s.caption()), s.number);
  series_->setCurrentIndex(std::max(0, series_->findData(wanted)));
}

DocumentKey OpenDocumentDialog::key() const {
  return DocumentKey{type_->currentData().toString().toStdString(), series_->currentData().toInt(), number_->value(),
                     year_->value()};
}

}  // namespace quill::host
