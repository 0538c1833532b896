#pragma once

#include <QDialog>

#include "host/SalesDocument.h"

class QLineEdit;
class QSpinBox;

namespace quill::host {

// Asks for the key of a stored sales document: type, series, number, year.
class OpenDocumentDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OpenDocumentDialog(const DocumentKey& initial, QWidget* parent = nullptr);
  DocumentKey key() const;

 private:
  QLineEdit* type_ = nullptr;
  QSpinBox* series_ = nullptr;
  QSpinBox* number_ = nullptr;
  QSpinBox* year_ = nullptr;
};

}  // namespace quill::host
