#include "host/MainWindow.h"

#include <fmt/format.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "erp/CompanyDatabase.h"
#include "erp/DocumentStore.h"
#include "host/ExtensionMenu.h"
#include "host/HostCompanySession.h"
#include "host/OpenCompanyDialog.h"
#include "host/OpenDocumentDialog.h"
#include "host/SalesDocumentDialog.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Format.h"
#include "platform/vb/OleDate.h"

namespace quill::host {

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
constexpr const char* kProduct = "Quill";
}  // namespace

MainWindow::MainWindow(HostCompanySession& session, CompanyChoice lastChoice, QWidget* parent)
    : QMainWindow(parent), session_(session), lastChoice_(std::move(lastChoice)) {
  setObjectName("frmPrincipal");
  setWindowTitle(kProduct);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  auto label = [&](const char* name, const char* caption) {
    auto* l = new QLabel(central);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromUtf8(caption), l);
    return l;
  };
  company_ = label("lblEmpresa", "Empresa");
  user_ = label("lblUtilizador", "Utilizador");
  extension_ = label("lblExtensao", "Extensão");
  apiLink_ = label("lblApiSageNext", "API SageNext");
  database_ = label("lblBaseDados", "Base de dados");
  configuration_ = label("lblConfiguracao", "Configuração da extensão");

  layout->addWidget(new QLabel(QString::fromUtf8("Últimos documentos de venda (duplo clique abre)"), central));
  documents_ = new QTableWidget(0, 5, central);
  documents_->setObjectName("grdDocumentos");
  documents_->setHorizontalHeaderLabels({QString::fromUtf8("Documento"), QString::fromUtf8("Data"),
                                         QString::fromUtf8("Cliente"), QString::fromUtf8("Nome"),
                                         QString::fromUtf8("Total")});
  documents_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  documents_->setSelectionBehavior(QAbstractItemView::SelectRows);
  documents_->verticalHeader()->hide();
  documents_->verticalHeader()->setDefaultSectionSize(documents_->fontMetrics().height() + 8);
  documents_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
  connect(documents_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (row >= 0 && row < static_cast<int>(listed_.size())) editDocument(listed_[static_cast<std::size_t>(row)]);
  });
  layout->addWidget(documents_, 1);
  setCentralWidget(central);
  buildMenus();
  session_.setOnChange([this] { refresh(); });
  lastKey_.year = vb::Year(vb::today());
  resize(900, 560);
  refresh();
}

MainWindow::~MainWindow() { session_.setOnChange({}); }

std::int32_t MainWindow::windowId() { return static_cast<std::int32_t>(winId()); }

void MainWindow::buildMenus() {
  QMenu* companyMenu = menuBar()->addMenu(QString::fromUtf8("&Empresa"));
  companyMenu->addAction(QString::fromUtf8("&Abrir empresa..."), this, &MainWindow::openCompany);
  closeAction_ = companyMenu->addAction(QString::fromUtf8("&Fechar empresa"), this, &MainWindow::closeCompany);
  companyMenu->addSeparator();
  companyMenu->addAction(QString::fromUtf8("&Sair"), this, &QWidget::close);

  QMenu* documents = menuBar()->addMenu(QString::fromUtf8("&Documentos"));
  newDocumentAction_ =
      documents->addAction(QString::fromUtf8("&Novo documento de venda..."), this, &MainWindow::newDocument);
  openDocumentAction_ =
      documents->addAction(QString::fromUtf8("&Abrir documento de venda..."), this, &MainWindow::openDocument);

  extensionMenu_ = menuBar()->addMenu(QString::fromUtf8("E&xtensão"));
}

void MainWindow::rebuildExtensionMenu() {
  extensionMenu_->clear();
  auto entries = ExtensionMenu::entries(session_);
  for (const auto& entry : entries) {
    QAction* action = extensionMenu_->addAction(qs(entry.caption));
    action->setEnabled(entry.enabled);
    connect(action, &QAction::triggered, this, [this, entry] { ExtensionMenu::run(entry, session_, windowId()); });
  }
  extensionMenu_->setEnabled(!entries.empty());
}

void MainWindow::refresh() {
  bool open = session_.isOpen();
  if (open) {
    const auto& c = session_.company();
    company_->setText(qs(fmt::format("{} - {}", c.code, c.name)));
    user_->setText(qs(session_.user()));
    extension_->setText(QString::fromUtf8(!session_.extensionActive()      ? "inactiva (não abriu a empresa)"
                                          : session_.extensionInterested() ? "activa"
                                                                           : "activa; a empresa não lhe interessa"));
    apiLink_->setText(QString::fromUtf8(session_.apiLinkOn() ? "ligada" : "desligada"));
    database_->setText(qs(erp::describeCompanyDatabase(c)));
    configuration_->setText(qs(session_.configurationFile().string()));
    setWindowTitle(qs(fmt::format("{} - {} — {}", c.code, c.name, kProduct)));
  } else {
    company_->setText(QString::fromUtf8("nenhuma empresa aberta (Empresa > Abrir empresa...)"));
    user_->clear();
    extension_->clear();
    apiLink_->clear();
    database_->clear();
    configuration_->clear();
    setWindowTitle(kProduct);
  }
  closeAction_->setEnabled(open);
  newDocumentAction_->setEnabled(open);
  openDocumentAction_->setEnabled(open);
  rebuildExtensionMenu();
  refreshDocuments();
}

void MainWindow::refreshDocuments() {
  documents_->setRowCount(0);
  listed_.clear();
  if (!session_.isOpen()) return;
  std::vector<DocumentSummary> recent;
  try {
    recent = session_.store().recent(50);
  } catch (const std::exception& error) {
    session_.ui().showError(error, "Documentos de venda");
    return;
  }
  documents_->setRowCount(static_cast<int>(recent.size()));
  int row = 0;
  for (const auto& d : recent) {
    auto cell = [&](int column, const std::string& text, bool right = false) {
      auto* item = new QTableWidgetItem(qs(text));
      if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      documents_->setItem(row, column, item);
    };
    cell(0, fmt::format("{} {}/{}/{}", d.key.type, d.key.series, d.key.number, d.key.year));
    cell(1, d.date ? vb::FormatDate(*d.date, "dd-mm-yyyy") : std::string());
    cell(2, d.client);
    cell(3, d.clientName);
    cell(4, vb::Format(d.total, "#,##0.00"), true);
    listed_.push_back(d.key);
    ++row;
  }
  documents_->resizeColumnsToContents();
  documents_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
}

void MainWindow::showDocument(SalesDocumentDialog& dialog) {
  editing_ = &dialog;
  session_.ui().showModal(dialog, windowId());
  editing_ = nullptr;
  refreshDocuments();
}

void MainWindow::editDocument(const DocumentKey& key) {
  SalesDocumentDialog dialog(session_, this);
  if (dialog.openDocument(key))
    showDocument(dialog);
  else
    refreshDocuments();
}

void MainWindow::openCompany() {
  OpenCompanyDialog dialog(lastChoice_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  lastChoice_ = dialog.choice();
  session_.open(lastChoice_);
  refresh();
}

void MainWindow::closeCompany() {
  session_.close();
  refresh();
}

void MainWindow::newDocument() {
  if (!session_.isOpen()) return;
  SalesDocumentDialog dialog(session_, this);
  dialog.newDocument();
  showDocument(dialog);
}

void MainWindow::openDocument() {
  if (!session_.isOpen()) return;
  OpenDocumentDialog ask(session_.catalog(), lastKey_, this);
  if (ask.exec() != QDialog::Accepted) return;
  lastKey_ = ask.key();
  editDocument(lastKey_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The document being edited is left first, as its window's close box
  // leaves it: the user may still save it, or stay.
  if (editing_ && editing_->isVisible() && !editing_->close()) {
    event->ignore();
    return;
  }
  // The extension hears of the company's end before the window goes.
  session_.close();
  event->accept();
}

}  // namespace quill::host
