#include "host/OpenCompanyDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "host/WindowFit.h"

namespace quill::host {

OpenCompanyDialog::OpenCompanyDialog(const CompanyChoice& initial, QWidget* parent)
    : QDialog(parent), initial_(initial) {
  setObjectName("frmAbrirEmpresa");
  setWindowTitle(QString::fromUtf8("Abrir empresa"));
  auto* form = new QFormLayout(this);
  auto field = [&](const char* name, const char* label, const std::string& value) {
    auto* edit = new QLineEdit(QString::fromStdString(value), this);
    edit->setObjectName(name);
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
  };
  erpFolder_ = field("txtInstalacao", "Instalação do ERP", initial.erpFolder.string());
  company_ = field("txtEmpresa", "Empresa", initial.company);
  user_ = field("txtUtilizador", "Utilizador", initial.user);
  password_ = field("txtPalavraPasse", "Palavra-passe", initial.password);
  password_->setEchoMode(QLineEdit::Password);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // The installation path is read whole.
  widenForText(*erpFolder_);
  widenForTitle(*this);
}

CompanyChoice OpenCompanyDialog::choice() const {
  CompanyChoice c = initial_;
  c.erpFolder = erpFolder_->text().trimmed().toStdString();
  c.company = company_->text().trimmed().toStdString();
  c.user = user_->text().trimmed().toStdString();
  c.password = password_->text().toStdString();
  c.forceAllowanceSettings = false;
  return c;
}

}  // namespace quill::host
