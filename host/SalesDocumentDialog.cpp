#include "host/SalesDocumentDialog.h"

#include <fmt/format.h>

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "host/CompanyCatalog.h"
#include "host/HostCompanySession.h"
#include "host/SalesDocumentEditor.h"
#include "host/SalesLinesModel.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Format.h"

namespace quill::host {

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

SalesDocumentDialog::SalesDocumentDialog(HostCompanySession& session, QWidget* parent)
    : QDialog(parent), session_(session), editor_(std::make_unique<SalesDocumentEditor>(session.editorServices())) {
  setObjectName("frmDocumentoVenda");
  setWindowTitle(QString::fromUtf8("Documento de venda"));
  model_ = new SalesLinesModel(*editor_, this);
  buildWidgets();
  connect(model_, &SalesLinesModel::documentHeaderChanged, this, &SalesDocumentDialog::refreshHeader);
  connect(model_, &SalesLinesModel::modelReset, this, &SalesDocumentDialog::refreshTotals);
  connect(model_, &SalesLinesModel::dataChanged, this, &SalesDocumentDialog::refreshTotals);
  connect(model_, &SalesLinesModel::rowsInserted, this, &SalesDocumentDialog::refreshTotals);
  connect(model_, &SalesLinesModel::rowsRemoved, this, &SalesDocumentDialog::refreshTotals);
  connect(model_, &SalesLinesModel::editRefusedByExtension, this, [this](int row, int) {
    status_->setText(QString::fromUtf8("A extensão recusou a alteração da linha %1.").arg(row + 1));
  });
  resize(960, 560);
}

SalesDocumentDialog::~SalesDocumentDialog() {
  // The model observes the editor: it goes first.
  delete model_;
  model_ = nullptr;
}

void SalesDocumentDialog::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* header = new QFormLayout;
  auto* keyRow = new QHBoxLayout;
  type_ = new QComboBox(this);
  type_->setObjectName("cmbTipo");
  for (const auto& t : session_.catalog().salesDocumentTypes())
    type_->addItem(qs(t.code + " - " + t.description), qs(t.code));
  series_ = new QComboBox(this);
  series_->setObjectName("cmbSerie");
  number_ = new QLineEdit(this);
  number_->setObjectName("txtNumero");
  number_->setReadOnly(true);
  year_ = new QLineEdit(this);
  year_->setObjectName("txtAno");
  year_->setReadOnly(true);
  creditNote_ = new QLabel(this);
  creditNote_->setObjectName("lblNotaCredito");
  keyRow->addWidget(type_);
  keyRow->addWidget(new QLabel(QString::fromUtf8("Série"), this));
  keyRow->addWidget(series_);
  keyRow->addWidget(new QLabel(QString::fromUtf8("Número"), this));
  keyRow->addWidget(number_);
  keyRow->addWidget(new QLabel(QString::fromUtf8("Ano"), this));
  keyRow->addWidget(year_);
  keyRow->addWidget(creditNote_);
  header->addRow(QString::fromUtf8("Documento"), keyRow);

  date_ = new QLineEdit(this);
  date_->setObjectName("txtData");
  date_->setPlaceholderText("dd-mm-aaaa");
  header->addRow(QString::fromUtf8("Data"), date_);

  auto* clientRow = new QHBoxLayout;
  client_ = new QLineEdit(this);
  client_->setObjectName("txtCliente");
  clientName_ = new QLabel(this);
  clientName_->setObjectName("lblNomeCliente");
  clientRow->addWidget(client_);
  clientRow->addWidget(clientName_, 1);
  header->addRow(QString::fromUtf8("Cliente"), clientRow);

  auto* moreRow = new QHBoxLayout;
  currency_ = new QLineEdit(this);
  currency_->setObjectName("txtMoeda");
  dispatch_ = new QComboBox(this);
  dispatch_->setObjectName("cmbExpedicao");
  dispatch_->addItem(QString(), QString());
  for (const auto& code : session_.catalog().dispatchCodes()) dispatch_->addItem(qs(code), qs(code));
  moreRow->addWidget(currency_);
  moreRow->addWidget(new QLabel(QString::fromUtf8("Expedição"), this));
  moreRow->addWidget(dispatch_, 1);
  header->addRow(QString::fromUtf8("Moeda"), moreRow);
  layout->addLayout(header);

  grid_ = new QTableView(this);
  grid_->setObjectName("grdLinhas");
  grid_->setModel(model_);
  grid_->horizontalHeader()->setSectionResizeMode(SalesLinesModel::Description, QHeaderView::Stretch);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(grid_, 1);

  totals_ = new QLabel(this);
  totals_->setObjectName("lblTotais");
  status_ = new QLabel(this);
  status_->setObjectName("lblEstado");
  layout->addWidget(totals_);
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout;
  auto button = [&](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  auto* add = button("cmdNovaLinha", "Nova linha");
  auto* remove = button("cmdApagarLinha", "Apagar linha");
  buttons->addStretch(1);
  auto* save = button("cmdGravar", "Gravar");
  auto* close = button("cmdFechar", "Fechar");
  layout->addLayout(buttons);

  connect(add, &QPushButton::clicked, this, &SalesDocumentDialog::addLine);
  connect(remove, &QPushButton::clicked, this, &SalesDocumentDialog::removeLine);
  connect(save, &QPushButton::clicked, this, &SalesDocumentDialog::save);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  connect(type_, &QComboBox::activated, this, [this](int index) {
    if (!refreshing_ && !editor_->setType(type_->itemData(index).toString().toStdString())) refreshHeader();
  });
  connect(series_, &QComboBox::activated, this, [this](int index) {
    if (!refreshing_ && !editor_->setSeries(series_->itemData(index).toInt())) refreshHeader();
  });
  connect(dispatch_, &QComboBox::activated, this, [this](int index) {
    if (!refreshing_ && !editor_->setDispatch(dispatch_->itemData(index).toString().toStdString())) refreshHeader();
  });
  // A typed field is taken when the user leaves it; a refused value is put back.
  auto onLeave = [this](QLineEdit* edit, auto apply) {
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, apply] {
      if (refreshing_ || !edit->isModified()) return;
      edit->setModified(false);
      if (!apply(edit->text().toStdString())) refreshHeader();
    });
  };
  onLeave(date_, [this](const std::string& t) { return editor_->setDate(std::string_view(t)); });
  onLeave(client_, [this](const std::string& t) { return editor_->setClient(t); });
  onLeave(currency_, [this](const std::string& t) { return editor_->setCurrency(t); });
}

void SalesDocumentDialog::fillSeries() {
  const auto& key = editor_->document().header.key;
  series_->clear();
  for (int s : session_.catalog().series(key.type)) series_->addItem(QString::number(s), s);
  series_->setCurrentIndex(series_->findData(key.series));
}

void SalesDocumentDialog::refreshHeader() {
  refreshing_ = true;
  const SalesDocument& doc = editor_->document();
  const SalesHeader& h = doc.header;
  type_->setCurrentIndex(type_->findData(qs(h.key.type)));
  fillSeries();
  type_->setEnabled(!doc.stored);
  series_->setEnabled(!doc.stored);
  number_->setText(QString::number(h.key.number));
  year_->setText(QString::number(h.key.year));
  date_->setText(qs(vb::FormatDate(h.date, "dd-mm-yyyy")));
  client_->setText(qs(h.client));
  clientName_->setText(qs(h.clientName));
  currency_->setText(qs(h.currency));
  dispatch_->setCurrentIndex(std::max(0, dispatch_->findData(qs(h.dispatch))));
  creditNote_->setText(editor_->isCreditNote() ? QString::fromUtf8("Nota de crédito") : QString());
  for (auto* edit : {date_, client_, currency_}) edit->setModified(false);
  setWindowTitle(qs(fmt::format("Documento de venda {} {}/{} de {}{}", h.key.type, h.key.series, h.key.number,
                                h.key.year, doc.stored ? "" : " (novo)")));
  refreshing_ = false;
  refreshTotals();
}

void SalesDocumentDialog::refreshTotals() {
  try {
    erp::DocumentTotals t = editor_->document().totals();
    totals_->setText(
        qs(fmt::format("Mercadoria {}   Descontos {}   IVA {}   Total {} {}", vb::Format(t.goods, "#,##0.00"),
                       vb::Format(t.discounts, "#,##0.00"), vb::Format(t.vat, "#,##0.00"),
                       vb::Format(t.total, "#,##0.00"), editor_->document().header.currency)));
  } catch (const std::exception& error) {
    // A discount text the ERP refuses: the document has no totals until it
    // is corrected, and saving it is refused.
    totals_->setText(qs(fmt::format("Sem totais: {}", error.what())));
  }
}

void SalesDocumentDialog::newDocument() {
  status_->clear();
  editor_->newDocument();
  refreshHeader();
}

bool SalesDocumentDialog::openDocument(const DocumentKey& key) {
  status_->clear();
  bool opened = editor_->open(key);
  refreshHeader();
  return opened;
}

void SalesDocumentDialog::addLine() {
  int row = editor_->addLine();
  grid_->setCurrentIndex(model_->index(row, SalesLinesModel::Article));
  grid_->edit(grid_->currentIndex());
}

void SalesDocumentDialog::removeLine() {
  QModelIndex current = grid_->currentIndex();
  if (current.isValid()) editor_->removeLine(current.row());
}

void SalesDocumentDialog::save() {
  status_->clear();
  auto outcome = editor_->save();
  if (!outcome.saved) return;
  const auto& key = editor_->document().header.key;
  status_->setText(QString::fromUtf8(fmt::format("Gravado {} {}/{} de {}{}.", key.type, key.series, key.number,
                                                 key.year, outcome.allowanceWritten ? "; abono de frete pedido" : "")
                                         .c_str()));
}

}  // namespace quill::host
