#pragma once

#include <QDialog>

#include "host/CompanyChoice.h"

class QLineEdit;

namespace quill::host {

// Asks which company to open: the ERP installation folder, the company code,
// the user and the password.
class OpenCompanyDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OpenCompanyDialog(const CompanyChoice& initial, QWidget* parent = nullptr);

  // What the user typed; the allowance settings come from `initial`.
  CompanyChoice choice() const;

 private:
  CompanyChoice initial_;
  QLineEdit* erpFolder_ = nullptr;
  QLineEdit* company_ = nullptr;
  QLineEdit* user_ = nullptr;
  QLineEdit* password_ = nullptr;
};

}  // namespace quill::host
