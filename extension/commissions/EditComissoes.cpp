#include "extension/commissions/EditComissoes.h"

#include <algorithm>
#include <cctype>

#include "extension/commissions/ComissoesMensais.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/LongWork.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

using namespace criterios;

const char* kSemInformacao = "Não existe informação para as condições solicitadas!";

}  // namespace

const std::vector<std::string>& EditComissoes::meses() {
  static const std::vector<std::string> names = {"Janeiro", "Fevereiro", "Março",    "Abril",   "Maio",     "Junho",
                                                 "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};
  return names;
}

const std::vector<ui::ControlDef>& EditComissoes::controls() {
  static const std::vector<ui::ControlDef> controls = [] {
    ui::ControlDef ano{"campo", ui::ControlKind::TextField};
    ano.changesAsTyped = true;  // a key pressed in it arms its validation
    ui::ControlDef lista{"cb1", ui::ControlKind::ComboBox};
    lista.enterMovesOn = true;
    return std::vector<ui::ControlDef>{label("Label1", "Comissões"),
                                       label("Label2", "Ano"),
                                       ano,
                                       label("Label3", "Mês"),
                                       lista,
                                       button("btConf", "Calcular"),
                                       button("btImp", "Imprimir"),
                                       cancelButton("btSair", "Sair")};
  }();
  return controls;
}

EditComissoes::EditComissoes(ui::UiServices& ui, const ui::ViewFactory& makeView) : EditorForm(ui) {
  attach(makeView(*this));
  view().setCaption("Comissões");
}

EditComissoes::~EditComissoes() = default;

void EditComissoes::Editar(const Variant& lPai) {
  keepOwner(lPai);
  try {
    CriarTabelas();
    LimparForm();
    view().showModal(owner());
  } catch (const std::exception& error) {
    ui().showNumberedError(error, "Comissões");
  }
}

void EditComissoes::CriarTabelas() { ComissoesMensais(data()).criarTabela(); }

void EditComissoes::LimparForm() {
  const auto today = vb::dateParts(vb::today());
  auto& v = view();
  v.setText("campo", std::to_string(today.year));
  v.setItems("cb1", {});
  v.setItems("cb1", meses());
  v.setListIndex("cb1", today.month - 1);
}

void EditComissoes::Avisa(const std::string& sCampo, const std::string& sMensagem, std::int16_t iTipo,
                          std::int32_t& iResposta) {
  constexpr const char* kTitulo = "Informação";
  switch (iTipo) {
    case 1:
      ui().msgBox("Campo obrigatório [" + sCampo + "].", vb::vbOKOnly + vb::vbExclamation, kTitulo);
      iResposta = 0;
      break;
    case 2:
      ui().msgBox(sMensagem, vb::vbOKOnly + vb::vbInformation, kTitulo);
      iResposta = 0;
      break;
    case 3:
      iResposta = ui().msgBox(sMensagem, vb::vbOKCancel + vb::vbInformation + vb::vbDefaultButton2, kTitulo);
      break;
    case 4:
      iResposta = ui().msgBox(sMensagem, vb::vbYesNoCancel + vb::vbInformation + vb::vbDefaultButton3, kTitulo);
      break;
    case 5:
      iResposta = ui().msgBox(sMensagem, vb::vbYesNo + vb::vbInformation + vb::vbDefaultButton2, kTitulo);
      break;
    default:
      break;
  }
}

int EditComissoes::avisa(const std::string& mensagem, std::int16_t tipo) {
  std::int32_t resposta = 0;
  Avisa("", mensagem, tipo, resposta);
  return resposta;
}

// Only digits: the year goes into statement text, where anything else could
// change what they do.
std::optional<std::string> EditComissoes::anoValido() {
  const std::string ano = vb::Trim(view().text("campo"));
  const char* problema = nullptr;
  if (ano.empty()) {
    problema = "Campo obrigatório!";
  } else if (ano.size() > 4 || !std::all_of(ano.begin(), ano.end(), [](unsigned char c) { return std::isdigit(c); }) ||
             std::stoi(ano) < kPrimeiroAno || std::stoi(ano) > kUltimoAno) {
    problema = "Valor não permitido!";
  }
  if (!problema) return ano;
  ui().msgBox(problema, vb::vbOKOnly, kDefaultTitle);
  view().setFocus("campo");
  return std::nullopt;
}

int EditComissoes::mes() const { return view().listIndex("cb1") + 1; }

bool EditComissoes::onValidate(std::string_view control) {
  if (!equalsNoCase(control, "campo") || !validarAno_) return true;
  return anoValido().has_value();
}

void EditComissoes::onChanged(std::string_view control) {
  if (equalsNoCase(control, "campo")) validarAno_ = true;
}

bool EditComissoes::onEscape(std::string_view control) {
  if (!equalsNoCase(control, "campo")) return false;
  validarAno_ = false;
  // Back to the control before it, as Shift+Tab goes.
  auto& v = view();
  const auto names = v.controlNames();
  auto at = std::find_if(names.begin(), names.end(), [](const std::string& n) { return equalsNoCase(n, "campo"); });
  for (std::size_t step = 1; step < names.size(); ++step) {
    const std::size_t i = (static_cast<std::size_t>(at - names.begin()) + names.size() - step) % names.size();
    const auto kind = v.kind(names[i]);
    if (kind == ui::ControlKind::Label || kind == ui::ControlKind::Frame) continue;
    if (!v.isVisible(names[i]) || !v.isEnabled(names[i])) continue;
    v.setFocus(names[i]);
    break;
  }
  return true;
}

void EditComissoes::onClick(std::string_view control) {
  if (equalsNoCase(control, "btConf"))
    calcular();
  else if (equalsNoCase(control, "btImp"))
    imprimir();
  else if (equalsNoCase(control, "btSair"))
    view().hide();
}

void EditComissoes::calcular() {
  const auto ano = anoValido();
  if (!ano) return;
  const int mes = this->mes();
  ComissoesMensais comissoes(data());
  if (comissoes.calculado(*ano, mes) && avisa("Cálculo já efectuado!\n\rPretende continuar?", 3) != vb::vbOK) return;
  bool calculado = false;
  {
    // Summing is one statement: only the hourglass; writing the rows moves a bar.
    ui::BusyCursor busy(ui());
    auto bases = comissoes.bases(*ano, mes);
    if (!sql::noRows(bases.get())) {
      ui::LongWork work(ui(), "A gravar as comissões do mês...", static_cast<std::size_t>(bases->recordCount()));
      comissoes.gravar(*ano, mes, *bases, [&work](std::size_t done) { work.step(done); });
      calculado = true;
    }
  }
  // A month without sales keeps what it had.
  avisa(calculado ? "Cálculo Terminado!" : kSemInformacao, 2);
}

void EditComissoes::imprimir() {
  const auto ano = anoValido();
  if (!ano) return;
  const int mes = this->mes();
  if (!ComissoesMensais(data()).calculado(*ano, mes)) {
    avisa(kSemInformacao, 2);
    return;
  }
  std::vector<std::string> parametros(4);
  parametros[1] = *ano;
  parametros[2] = std::to_string(mes);
  // Printing closes the window.
  view().hide();
  imprimirFicheiro("\\qor_VT_Comissoes.rpt", parametros);
}

const MemberTable<EditComissoes>& EditComissoes::members() {
  using Form = EditComissoes;
  using Args = MemberTable<Form>::Args;
  static const auto table =
      editorMembers<Form>(true)
          .sub(
              "Editar", [](Form& f, Args a) { f.Editar(a.empty() ? Variant() : a[0]); }, Arity{0, 1})
          .sub(
              "CriarTabelas", [](Form& f, Args) { f.CriarTabelas(); }, Arity::exactly(0))
          .sub(
              "LimparForm", [](Form& f, Args) { f.LimparForm(); }, Arity::exactly(0))
          .sub(
              "Avisa",
              [](Form& f, Args a) {
                std::int32_t resposta = a[3].isEmpty() ? 0 : vb::CLng(a[3]);
                f.Avisa(vb::CStr(a[0]), vb::CStr(a[1]), vb::CInt(a[2]), resposta);
                a[3] = Variant(resposta);
              },
              Arity::exactly(4));
  return table;
}

}  // namespace quill
