#include "extension/components/ReportPrinter.h"

#include <algorithm>

#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "extension/components/ReportFile.h"
#include "extension/components/ReportQuery.h"
#include "extension/components/ReportTable.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/ProcessUi.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/TableDocument.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDefaultTitle = "Relatórios";

std::int32_t checkedSetting(std::int32_t value, std::initializer_list<std::int32_t> allowed, const char* what) {
  if (std::find(allowed.begin(), allowed.end(), value) == allowed.end())
    throw AutomationError(vberr::InvalidCall, "ReportPrinter",
                          std::string(what) + " não aceita o valor " + std::to_string(value));
  return value;
}

// The parameters of a VB text array: element n at index n.
std::vector<std::string> parameterArray(const Variant& value) {
  const VariantArray& array = value.arrayValue();
  std::vector<std::string> out;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(array.items.size()); ++i) {
    const std::int32_t index = array.lowerBound + i;
    if (index < 0) continue;
    if (static_cast<std::size_t>(index) >= out.size()) out.resize(index + 1);
    const Variant& item = array.items[i];
    out[index] = item.isEmpty() || item.isNull() ? std::string() : vb::CStr(item);
  }
  return out;
}

}  // namespace

ReportPrinter::ReportPrinter(ui::UiServices& ui) : ui_(ui) {}
ReportPrinter::ReportPrinter() : ui_(ui::processUiServices()) {}
ReportPrinter::~ReportPrinter() = default;

void ReportPrinter::setTipoRelatorio(std::int32_t kind) {
  tipoRelatorio_ = checkedSetting(kind, {kReportFile}, "TipoRelatorio");
}

void ReportPrinter::setDestino(std::int32_t destination) {
  destino_ = checkedSetting(destination, {kToScreen}, "Destino");
}

void ReportPrinter::setConsultaBaseDados(std::int32_t fromDatabase) {
  consultaBaseDados_ = checkedSetting(fromDatabase, {0, 1}, "ConsultaBaseDados");
}

fs::path ReportPrinter::reportPath() const {
  std::error_code ec;
  fs::path path(ficheiroRelatorio_);
  if (fs::exists(path, ec)) return path;
  std::string native = ficheiroRelatorio_;
  std::replace(native.begin(), native.end(), '\\', '/');
  path = fs::path(native);
  if (fs::exists(path, ec)) return path;
  // Windows finds a file whatever the case of its name.
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (equalsNoCase(entry.path().filename().string(), path.filename().string())) return entry.path();
  return path;
}

template <class MakeTable>
bool ReportPrinter::print(bool fromDatabase, MakeTable makeTable) {
  ficheiroImpresso_.clear();
  std::string title = kDefaultTitle;
  try {
    const fs::path path = reportPath();
    ReportFile report = ReportFile::load(path);
    title = report.title();
    if (fromDatabase != (consultaBaseDados_ == 1))
      throw ReportError(fromDatabase ? "O relatório \"" + report.title() +
                                           "\" é impresso a partir de um recordset (ConsultaBaseDados = 0) e não "
                                           "recebeu nenhum."
                                     : "O relatório \"" + report.title() +
                                           "\" lê os seus dados na base de dados (ConsultaBaseDados = 1) e recebeu "
                                           "um recordset.");
    ui::TableDocument table;
    {
      ui::BusyCursor busy(ui_);  // while the report is read and laid out
      table = makeTable(report);
    }
    const auto printed = ui::ReportOutput::print(table, path.stem().string(), ui_, pai_);
    ficheiroImpresso_ = printed.file;
    return true;
  } catch (const ReportError& e) {
    ui_.msgBox(e.what(), vb::vbExclamation, title);
  } catch (const std::exception& e) {
    ui_.showNumberedError(e, title);
  }
  return false;
}

bool ReportPrinter::Imprimir(const std::vector<std::string>& vParametros, bool) {
  return print(true, [&](const ReportFile& report) {
    if (!report.hasQuery())
      throw ReportError("O ficheiro de relatório \"" + report.fileName() + "\" não tem consulta (query).");
    const BoundQuery query = bindReportQuery(report, vParametros);
    DataAccess data;
    if (!data.OpenConnection(
            buildConnectionString("MSDataShape", "SQLOLEDB", servidor_, baseDados_, utilizador_, passWord_)))
      throw ReportError("Não foi possível ligar à base de dados \"" + baseDados_ + "\" do servidor \"" + servidor_ +
                        "\" para o relatório \"" + report.title() + "\": " + data.lastError());
    auto rows = data.GetConnection()->query(query.sql, query.values);
    return reportTable(report, *rows, &vParametros);
  });
}

bool ReportPrinter::Imprimir(sql::Recordset& oDados, bool) {
  return print(false, [&](const ReportFile& report) { return reportTable(report, oDados, nullptr); });
}

// ---- Late-bound object ----

const MemberTable<ReportPrinter>& ReportPrinter::members() {
  using Args = MemberTable<ReportPrinter>::Args;
  using P = ReportPrinter;
  auto text = [](std::string& (*field)(P&)) {
    return std::pair{[field](P& p, Args) { return Variant(field(p)); },
                     [field](P& p, Args a) { field(p) = vb::CStr(a.back()); }};
  };
  auto servidor = text([](P& p) -> std::string& { return p.servidor_; });
  auto baseDados = text([](P& p) -> std::string& { return p.baseDados_; });
  auto utilizador = text([](P& p) -> std::string& { return p.utilizador_; });
  auto passWord = text([](P& p) -> std::string& { return p.passWord_; });
  auto ficheiro = text([](P& p) -> std::string& { return p.ficheiroRelatorio_; });
  static const auto table =
      MemberTable<P>()
          .property(
              "TipoRelatorio", [](P& p, Args) { return Variant(p.tipoRelatorio_); },
              [](P& p, Args a) { p.setTipoRelatorio(vb::CLng(a.back())); })
          .property("Servidor", servidor.first, servidor.second)
          .property("BaseDados", baseDados.first, baseDados.second)
          .property("Utilizador", utilizador.first, utilizador.second)
          .property("PassWord", passWord.first, passWord.second)
          .property("FicheiroRelatorio", ficheiro.first, ficheiro.second)
          .property(
              "Destino", [](P& p, Args) { return Variant(p.destino_); },
              [](P& p, Args a) { p.setDestino(vb::CLng(a.back())); })
          .property(
              "ConsultaBaseDados", [](P& p, Args) { return Variant(p.consultaBaseDados_); },
              [](P& p, Args a) { p.setConsultaBaseDados(vb::CLng(a.back())); })
          .property(
              "Pai", [](P& p, Args) { return Variant(p.pai_); }, [](P& p, Args a) { p.pai_ = vb::CLng(a.back()); })
          .property("FicheiroImpresso", [](P& p, Args) { return Variant(p.ficheiroImpresso_.string()); })
          .method(
              "Imprimir",
              [](P& p, Args a) {
                const bool modal = a.size() < 2 || vb::CBool(a[1]);
                if (a[0].isArray()) return Variant(p.Imprimir(parameterArray(a[0]), modal));
                auto recordset = a[0].isObject() ? std::dynamic_pointer_cast<sql::Recordset>(a[0].objectValue())
                                                 : std::shared_ptr<sql::Recordset>();
                if (!recordset)
                  throw AutomationError(vberr::TypeMismatch, "ReportPrinter",
                                        "Imprimir recebe um array de parâmetros ou um recordset");
                return Variant(p.Imprimir(*recordset, modal));
              },
              Arity{1, 2});
  return table;
}

}  // namespace quill
