#include "host/SalesDocumentDialog.h"

#include <fmt/format.h>

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

#include "host/CompanyCatalog.h"
#include "host/HostCompanySession.h"
#include "host/SalesDocumentEditor.h"
#include "host/SalesLinesModel.h"
#include "platform/ui/CodeField.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Format.h"

namespace quill::host {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

bool isLookupKey(const QKeyEvent& key) {
  const auto modifiers = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  return (key.key() == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
         (key.key() == Qt::Key_L && modifiers == Qt::ControlModifier);
}

// The article cell is typed into a code field with a lookup. What was typed
// is the lookup's filter, not an edit: the cell editor closes without
// taking it, and the code picked is entered into the line as if typed.
class ArticleDelegate : public QStyledItemDelegate {
 public:
  using Lookup = std::function<void(int row, const std::string& typed)>;

  ArticleDelegate(Lookup lookup, QObject* keys, QObject* parent)
      : QStyledItemDelegate(parent), lookup_(std::move(lookup)), keys_(keys) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (index.column() != SalesLinesModel::Article) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* field = new ui::CodeField(parent);
    field->setObjectName("txtArtigo");
    field->setEnterMovesOn(false);  // Enter confirms the cell
    field->installEventFilter(keys_);
    field->setLookup([this, row = index.row()](ui::CodeField& f) {
      const std::string typed = f.text().toStdString();
      emit const_cast<ArticleDelegate*>(this)->closeEditor(&f, QAbstractItemDelegate::RevertModelCache);
      lookup_(row, typed);
    });
    return field;
  }

 private:
  Lookup lookup_;
  QObject* keys_;
};

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
  connect(model_, &SalesLinesModel::editorStatusChanged, this, &SalesDocumentDialog::refreshStatus);
  resize(960, 560);
}

SalesDocumentDialog::~SalesDocumentDialog() {
  // The model observes the editor: it goes first.
  delete model_;
  model_ = nullptr;
}

std::int32_t SalesDocumentDialog::owner() { return static_cast<std::int32_t>(winId()); }

void SalesDocumentDialog::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  readOnly_ = new QLabel(this);
  readOnly_->setObjectName("lblSoLeitura");
  readOnly_->setWordWrap(true);
  readOnly_->setStyleSheet("QLabel { background: #fff4ce; border: 1px solid #d8b600; padding: 4px; }");
  readOnly_->hide();
  layout->addWidget(readOnly_);

  auto* header = new QFormLayout;
  auto* keyRow = new QHBoxLayout;
  type_ = new QComboBox(this);
  type_->setObjectName("cmbTipo");
  for (const auto& t : session_.catalog().salesDocumentTypes())
    type_->addItem(qs(t.code + " - " + t.description), qs(t.code));
  series_ = new QComboBox(this);
  series_->setObjectName("cmbSerie");
  series_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  number_ = new QLineEdit(this);
  number_->setObjectName("txtNumero");
  number_->setReadOnly(true);
  number_->setAlignment(Qt::AlignRight);
  year_ = new QLineEdit(this);
  year_->setObjectName("txtAno");
  year_->setReadOnly(true);
  year_->setAlignment(Qt::AlignRight);
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
  client_ = new ui::CodeField(this);
  client_->setObjectName("txtCliente");
  client_->setPlaceholderText(QString::fromUtf8("F4 procura"));
  client_->setLookup([this](ui::CodeField&) { lookupClient(); });
  client_->installEventFilter(this);
  clientLookup_ = new QPushButton(QString::fromUtf8("..."), this);
  clientLookup_->setObjectName("cmdProcurarCliente");
  clientLookup_->setToolTip(QString::fromUtf8("Procurar cliente (F4)"));
  clientLookup_->setAutoDefault(false);
  clientLookup_->setFixedWidth(clientLookup_->fontMetrics().horizontalAdvance("...") + 24);
  clientName_ = new QLabel(this);
  clientName_->setObjectName("lblNomeCliente");
  clientRow->addWidget(client_);
  clientRow->addWidget(clientLookup_);
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
  grid_->setItemDelegate(new ArticleDelegate(
      [this](int row, const std::string& typed) {
        editor_->lookupArticle(row, owner(), typed);
        grid_->setCurrentIndex(model_->index(row, SalesLinesModel::Quantity));
      },
      this, grid_));
  grid_->horizontalHeader()->setSectionResizeMode(SalesLinesModel::Description, QHeaderView::Stretch);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->installEventFilter(this);
  layout->addWidget(grid_, 1);

  totals_ = new QLabel(this);
  totals_->setObjectName("lblTotais");
  status_ = new QLabel(this);
  status_->setObjectName("lblEstado");
  status_->setWordWrap(true);
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
  addLine_ = button("cmdNovaLinha", "Nova linha");
  removeLine_ = button("cmdApagarLinha", "Apagar linha");
  articleLookup_ = button("cmdProcurarArtigo", "Procurar artigo...");
  articleLookup_->setToolTip(QString::fromUtf8("Procurar o artigo da linha (F4 na coluna Artigo)"));
  buttons->addStretch(1);
  save_ = button("cmdGravar", "Gravar");
  auto* close = button("cmdFechar", "Fechar");
  layout->addLayout(buttons);

  connect(addLine_, &QPushButton::clicked, this, &SalesDocumentDialog::addLine);
  connect(removeLine_, &QPushButton::clicked, this, &SalesDocumentDialog::removeLine);
  connect(articleLookup_, &QPushButton::clicked, this, &SalesDocumentDialog::lookupArticle);
  connect(clientLookup_, &QPushButton::clicked, this, &SalesDocumentDialog::lookupClient);
  connect(save_, &QPushButton::clicked, this, &SalesDocumentDialog::save);
  connect(close, &QPushButton::clicked, this, &SalesDocumentDialog::leave);

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

bool SalesDocumentDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto& key = *static_cast<QKeyEvent*>(event);
  if (!isLookupKey(key)) return QDialog::eventFilter(watched, event);
  // Ctrl+L in a code field is the field's own; F4 does the same.
  if (auto* field = qobject_cast<ui::CodeField*>(watched)) {
    if (key.key() != Qt::Key_F4) return false;
    field->askLookup();
    return true;
  }
  if (watched == grid_ && grid_->currentIndex().column() == SalesLinesModel::Article) {
    lookupArticle();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void SalesDocumentDialog::fillSeries() {
  const auto& key = editor_->document().header.key;
  series_->clear();
  for (const auto& s : session_.catalog().seriesList(key.type)) series_->addItem(qs(s.caption()), s.number);
  series_->setCurrentIndex(series_->findData(key.series));
}

void SalesDocumentDialog::refreshHeader() {
  refreshing_ = true;
  const SalesDocument& doc = editor_->document();
  const SalesHeader& h = doc.header;
  const bool changeable = !editor_->isReadOnly();
  type_->setCurrentIndex(type_->findData(qs(h.key.type)));
  fillSeries();
  type_->setEnabled(!doc.stored && changeable);
  series_->setEnabled(!doc.stored && changeable);
  number_->setText(QString::number(h.key.number));
  year_->setText(QString::number(h.key.year));
  date_->setText(qs(vb::FormatDate(h.date, "dd-mm-yyyy")));
  client_->setText(qs(h.client));
  clientName_->setText(qs(h.clientName));
  currency_->setText(qs(h.currency));
  dispatch_->setCurrentIndex(std::max(0, dispatch_->findData(qs(h.dispatch))));
  creditNote_->setText(editor_->isCreditNote() ? QString::fromUtf8("Nota de crédito") : QString());
  for (auto* edit : {static_cast<QLineEdit*>(date_), static_cast<QLineEdit*>(client_), currency_}) {
    edit->setModified(false);
    edit->setReadOnly(!changeable);
  }
  for (QWidget* w :
       std::initializer_list<QWidget*>{dispatch_, clientLookup_, addLine_, removeLine_, articleLookup_, save_})
    w->setEnabled(changeable);
  readOnly_->setText(qs(editor_->readOnlyReason() + " O documento abre só para consulta."));
  readOnly_->setVisible(!changeable);
  setWindowTitle(
      qs(fmt::format("Documento de venda {} {}/{} de {}{}", h.key.type, h.key.series, h.key.number, h.key.year,
                     !changeable  ? " (só consulta)"
                     : doc.stored ? ""
                                  : " (novo)")));
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

void SalesDocumentDialog::refreshStatus() { status_->setText(qs(editor_->status())); }

void SalesDocumentDialog::newDocument() {
  editor_->newDocument();
  refreshHeader();
}

bool SalesDocumentDialog::openDocument(const DocumentKey& key) {
  bool opened = editor_->open(key);
  refreshHeader();
  return opened;
}

void SalesDocumentDialog::addLine() {
  int row = editor_->addLine();
  if (row < 0) return;
  grid_->setCurrentIndex(model_->index(row, SalesLinesModel::Article));
  grid_->edit(grid_->currentIndex());
}

void SalesDocumentDialog::removeLine() {
  QModelIndex current = grid_->currentIndex();
  if (current.isValid()) editor_->removeLine(current.row());
}

void SalesDocumentDialog::lookupClient() {
  // What was typed is the lookup's filter: leaving the field for the list
  // does not enter it.
  client_->setModified(false);
  if (!editor_->lookupClient(owner(), client_->text().toStdString())) refreshHeader();
}

void SalesDocumentDialog::lookupArticle() {
  QModelIndex current = grid_->currentIndex();
  int row = current.isValid() ? current.row() : editor_->addLine();
  if (row < 0) return;
  editor_->lookupArticle(row, owner());
  grid_->setCurrentIndex(model_->index(row, SalesLinesModel::Quantity));
}

void SalesDocumentDialog::save() { editor_->save(); }

void SalesDocumentDialog::leave() {
  if (editor_->confirmLeave()) accept();
}

void SalesDocumentDialog::reject() {
  if (editor_->confirmLeave()) QDialog::reject();
}

}  // namespace quill::host
