#pragma once

#include <QDialog>
#include <memory>

#include "host/SalesDocument.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace quill::ui {
class CodeField;
}

namespace quill::host {

class HostCompanySession;
class SalesDocumentEditor;
class SalesLinesModel;

// The sales-document editor window: the header above, the lines grid below,
// the totals, the status line and the buttons to add and remove lines and
// to save. The client and the article fields have a lookup (F4, Ctrl+L or
// the "..." button). A document that may not be changed shows why and
// offers nothing to change. Leaving with unsaved changes (Fechar, the close
// box, Esc) asks whether to save them. It only shows and forwards: every
// rule is the SalesDocumentEditor's.
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

  // The article lookup of the grid's current line (its button, F4 or
  // Ctrl+L on the grid).
  void lookupArticle();

 public slots:
  // Esc and the close box: the document is left only once the user allows.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWidgets();
  void refreshHeader();
  void refreshTotals();
  void refreshStatus();
  void fillSeries();
  void save();
  void addLine();
  void removeLine();
  void leave();
  void lookupClient();
  std::int32_t owner();

  HostCompanySession& session_;
  std::unique_ptr<SalesDocumentEditor> editor_;
  SalesLinesModel* model_ = nullptr;  // owned by this dialog (Qt parent)
  QComboBox* type_ = nullptr;
  QComboBox* series_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLineEdit* year_ = nullptr;
  QLineEdit* date_ = nullptr;
  ui::CodeField* client_ = nullptr;
  QPushButton* clientLookup_ = nullptr;
  QLabel* clientName_ = nullptr;
  QLineEdit* currency_ = nullptr;
  QComboBox* dispatch_ = nullptr;
  QLabel* creditNote_ = nullptr;
  QLabel* readOnly_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* totals_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* addLine_ = nullptr;
  QPushButton* removeLine_ = nullptr;
  QPushButton* articleLookup_ = nullptr;
  QPushButton* save_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace quill::host
