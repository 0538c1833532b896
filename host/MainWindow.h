#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "host/CompanyChoice.h"
#include "host/SalesDocument.h"

class QLabel;
class QMenu;
class QAction;
class QTableWidget;

namespace quill::host {

class HostCompanySession;
class SalesDocumentDialog;

// The host's main window: the open company, its user and the state of the
// extension and of its API link; the menus to open and close a company, to
// edit sales documents and to run the extension's commands. Its title names
// the open company. Closing the window closes the company
// (ConnectionClose), once the document being edited, if any, has been left
// (its unsaved changes saved or let go); the user may cancel that.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(HostCompanySession& session, CompanyChoice lastChoice, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The window handle the extension's commands get as lPai.
  std::int32_t windowId();
  // Refreshes what the window shows of the session.
  void refresh();

  void openCompany();
  void closeCompany();
  void newDocument();
  void openDocument();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void rebuildExtensionMenu();
  void refreshDocuments();
  void editDocument(const DocumentKey& key);
  void showDocument(SalesDocumentDialog& dialog);

  HostCompanySession& session_;
  CompanyChoice lastChoice_;
  DocumentKey lastKey_;
  QLabel* company_ = nullptr;
  QLabel* user_ = nullptr;
  QLabel* extension_ = nullptr;
  QLabel* apiLink_ = nullptr;
  QLabel* database_ = nullptr;
  QLabel* configuration_ = nullptr;
  QTableWidget* documents_ = nullptr;
  std::vector<DocumentKey> listed_;
  QPointer<SalesDocumentDialog> editing_;  // the document window while it is open
  QMenu* extensionMenu_ = nullptr;
  QAction* closeAction_ = nullptr;
  QAction* newDocumentAction_ = nullptr;
  QAction* openDocumentAction_ = nullptr;
};

}  // namespace quill::host
