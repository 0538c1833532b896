#pragma once

#include <QDialog>
#include <memory>

#include "host/SalesDocument.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace quill::host {

class HostCompanySession;
class SalesDocumentEditor;
class SalesLinesModel;

// The sales-document editor window: the header above, the lines grid below,
// the totals and the buttons to add and remove lines and to save. It only
// shows and forwards: every rule is the SalesDocumentEditor's.
class SalesDocumentDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SalesDocumentDialog(HostCompanySession& session, QWidget* parent = nullptr);
  ~SalesDocumentDialog() override;

  void newDocument();
  bool openDocument(const DocumentKey& key);

  SalesDocumentEditor& editor() { return *editor_; }
  SalesLinesModel& linesModel() { return *model_; }
  QTableView& grid() { return *grid_; }

 private:
  void buildWidgets();
  void refreshHeader();
  void refreshTotals();
  void fillSeries();
  void save();
  void addLine();
  void removeLine();

  HostCompanySession& session_;
  std::unique_ptr<SalesDocumentEditor> editor_;
  SalesLinesModel* model_ = nullptr;  // owned by this dialog (Qt parent)
  QComboBox* type_ = nullptr;
  QComboBox* series_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLineEdit* year_ = nullptr;
  QLineEdit* date_ = nullptr;
  QLineEdit* client_ = nullptr;
  QLabel* clientName_ = nullptr;
  QLineEdit* currency_ = nullptr;
  QComboBox* dispatch_ = nullptr;
  QLabel* creditNote_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* totals_ = nullptr;
  QLabel* status_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace quill::host
