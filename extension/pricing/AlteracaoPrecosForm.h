#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extension/pricing/PriceFormSettings.h"
#include "extension/reports/CriteriosForm.h"
#include "platform/automation/MemberTable.h"
#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/vb/Conversions.h"

namespace quill {

namespace sql {
class Recordset;
}

// What the two bulk price editors (scheduled retail prices and the prices of
// the price lines) share: their properties and Editar, the range fields
// with their lookups and descriptions, the kind of change ("Margem",
// "Valor", "Valor fixo") and its value, the grid with its row marks, select
// all and none, hand-typed prices, the activation date and its question,
// the buttons, and printing a report from a recordset.
//
// Errors are not caught here: they reach the event that started the
// action, whose box shows them, and the window stays open (ui::Form). An
// error while Editar prepares the window reaches its caller.
class AlteracaoPrecosForm : public ui::Form, public PriceFormSettings {
 public:
  ~AlteracaoPrecosForm() override;

  // Of the bridge only the national currency and VAT regime (and, for the
  // price lines, AlteraPreco) are used.

  // Reads the national currency and VAT regime from the bridge; without
  // both it says so and shows nothing. Otherwise prepares the window and
  // shows it modally over lPai, returning once it is closed.
  void Editar(const Variant& lPai);
  // Editar's first step: the national currency and VAT regime from the
  // bridge; false (having said so) when either is missing.
  bool leParametrosNacionais();

  const std::string& moedaNacional() const { return moeda_; }
  const std::string& regimeIvaNacional() const { return regime_; }

  // ---- The steps of each editor ----
  virtual void RefreshGrid() = 0;
  virtual void SaveChanges(bool mensagem) = 0;
  virtual void PrintChanges() = 0;

  // The change types, in the order of cbxTipo.
  static const std::vector<std::string>& tiposAlteracao();
  // A price after a change of type `tipo` by `valor`: "Margem" adds valor
  // percent, "Valor" adds valor, "Valor fixo" is valor. A missing price
  // stays missing, but for "Valor fixo".
  static Variant precoAlterado(std::string_view tipo, double valor, const Variant& preco);
  // The price with VAT at a rate in percent; missing when either is.
  static Variant comIva(const Variant& semIva, const Variant& taxa);

 protected:
  AlteracaoPrecosForm(ui::UiServices& ui, Components components);

  // A range field, its description and what it names.
  struct Intervalo {
    std::string field;
    std::string description;
    const CodeKind* kind = nullptr;
  };
  void addIntervalo(Intervalo intervalo) { intervalos_.push_back(std::move(intervalo)); }

  // A column of the grid; the columns not listed are hidden and read-only.
  struct Coluna {
    std::string field;
    std::string caption;
    int width = 0;
    std::string format;
    bool hidden = false;
    bool editable = false;
  };
  // Binds a recordset to the grid with these columns and the row-mark
  // column in front (redraw suspended meanwhile).
  void bindGrid(std::shared_ptr<sql::Recordset> recordset, const std::vector<Coluna>& colunas,
                std::vector<ui::RecordsetTableModel::GroupLevel> grouping = {});

  // A new price without VAT and its partner with VAT, by field.
  struct ParPrecos {
    std::string semIva;
    std::string comIva;
  };
  // Typing a price without VAT in one of these columns: blank empties it and
  // its partner with VAT; text that is no number is refused; a number gives
  // the partner its price with the row's IVA.
  void setPrecosEditaveis(std::vector<ParPrecos> pares);

  // Loaded: the change types with "Margem" chosen, the activation date
  // today and not marked as changed.
  void FillChoiceLists();
  // The change in txtValor, when there is one: its type and value.
  struct Alteracao {
    std::string tipo;
    double valor = 0;
    Variant aplica(const Variant& preco) const { return precoAlterado(tipo, valor, preco); }
  };
  std::optional<Alteracao> alteracaoPedida() const;
  // The change of txtValor, when there is one, applied to every row of the
  // grid's new recordset, in memory and unrounded: each new price without
  // VAT of `pares` changed, and its partner with VAT made from it at the
  // row's IVA.
  void aplicaAlteracao(sql::Recordset& rs, const std::vector<ParPrecos>& pares);
  // When chkBxData is checked, asks whether the activation date goes to
  // every filtered row (vbYes), the marked ones (vbNo) or none (vbCancel);
  // vbCancel when it is not checked.
  int perguntaDataActivacao();
  // The data rows of the grid in grid order, as recordset positions;
  // `marcadas` keeps only the marked ones.
  std::vector<std::size_t> linhasDaGrelha(bool marcadas) const;
  // The course of a save, the grid's redraw suspended: the activation-date
  // question when the date was changed; each marked row through `escreve`,
  // in grid order; then the rows the answer gives the activation date
  // through `moveData` (every row on Yes, the marked ones on No). Each
  // answers whether it wrote. Then, when asked for and something was
  // written, the success message; the grid reloaded and the date no longer
  // marked as changed. A failure stops the save where it is.
  void gravaLinhas(bool mensagem, const std::function<bool(std::size_t)>& escreve,
                   const std::function<bool(std::size_t, Date)>& moveData);
  // The date of dtpActivacao.
  Date dataActivacao() const;
  // The range fields and description fields empty, no change, the
  // activation date today and not marked.
  void clearFields();

  // Prints a report file of the library's folder from the rows of a query,
  // with the connection settings and the owner window.
  void imprimir(std::string_view ficheiro, const std::string& consulta);
  // A date of a criteria form as the statements write it ("yyyy-mm-dd").
  static std::string dataIso(const std::string& texto);

  // Runs `body` with the grid's refreshes held: the refresh its field
  // validations ask for runs once, at the end (setting several fields in a
  // row reloads the grid once, to the same rows).
  template <typename Body>
  void withRefreshHeld(Body&& body) {
    ++refreshHeld_;
    try {
      body();
    } catch (...) {
      if (--refreshHeld_ == 0) refreshWanted_ = false;
      throw;
    }
    if (--refreshHeld_ == 0 && refreshWanted_) {
      refreshWanted_ = false;
      RefreshGrid();
    }
  }
  // RefreshGrid, or at the end when refreshes are held.
  void refresh();
  // A range field set from code, validated as when the user leaves it.
  void setIntervalo(std::string_view field, std::string_view text);

  virtual void prepare() = 0;

  bool onValidate(std::string_view control) override;
  void onLookup(std::string_view control) override;
  void onClick(std::string_view control) override;
  void onChanged(std::string_view control) override;

  ui::GridControl& grelha() const;
  std::int32_t owner() const { return owner_; }

  // The members every editor has: its properties and Editar.
  template <class Editor>
  static MemberTable<Editor> editorMembers();

 private:
  const Intervalo* intervaloOf(std::string_view control) const;
  bool validateIntervalo(const Intervalo& intervalo);
  bool ValidateValor();

  std::string moeda_, regime_;
  std::int32_t owner_ = 0;
  std::vector<Intervalo> intervalos_;
  std::vector<ParPrecos> pares_;
  int refreshHeld_ = 0;
  bool refreshWanted_ = false;
};

// The controls of the editors with their Enter key: it moves on from the
// text fields, the combo and the picker (names beginning "txt", "cbx",
// "dtp"), as Tab does.
// The controls of an editor: its own (ranges and change), then `comuns`.
std::vector<ui::ControlDef> comTeclaEnter(std::vector<ui::ControlDef> controls,
                                          const std::vector<ui::ControlDef>& comuns = {});
// The grid and the buttons that both editors end with.
const std::vector<ui::ControlDef>& grelhaEBotoes();

// While it lives, the grid does not draw; as it was afterwards.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(ui::GridControl& grid) : grid_(grid), before_(grid.redraw()) { grid_.setRedraw(false); }
  ~RedrawSuspended() { grid_.setRedraw(before_); }
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  ui::GridControl& grid_;
  bool before_;
};

template <class Editor>
MemberTable<Editor> AlteracaoPrecosForm::editorMembers() {
  using Args = typename MemberTable<Editor>::Args;
  MemberTable<Editor> table;
  addSettings(table).sub(
      "Editar", [](Editor& f, Args a) { f.Editar(a.empty() ? Variant() : a[0]); }, Arity{0, 1});
  return table;
}

}  // namespace quill
