#pragma once

#include <QDialog>

#include "host/SalesDocument.h"

class QComboBox;
class QSpinBox;

namespace quill::host {

class CompanyCatalog;

// Asks for the key of a stored sales document: its type among the company's
// sales document types, its series among the type's (by number and name),
// its number and year.
class OpenDocumentDialog : public QDialog {
  Q_OBJECT

 public:
  OpenDocumentDialog(const CompanyCatalog& catalog, const DocumentKey& initial, QWidget* parent = nullptr);
  DocumentKey key() const;

 private:
  void fillSeries(int wanted);

  const CompanyCatalog& catalog_;
  QComboBox* type_ = nullptr;
  QComboBox* series_ = nullptr;
  QSpinBox* number_ = nullptr;
  QSpinBox* year_ = nullptr;
};

}  // namespace quill::host
