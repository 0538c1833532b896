#include "extension/discounts/DescontosClienteGrupo.h"

#include <array>
#include <vector>

#include "extension/components/DataAccess.h"
#include "extension/core/DatabaseModel.h"
#include "platform/automation/Dispatch.h"
#include "platform/sql/Command.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/vb/Conversions.h"

namespace quill {

namespace {

// The columns of the working set, in the order of the clients statement.
constexpr std::array<const char*, 19> kColumns = {
    "VENDEDOR", "VND", "CLIENTE", "NOME", "DESCCAB", "TIPOLINHA", "LINHA", "C0",         "C1",     "C2",
    "C3",       "C4",  "C5",      "C6",   "C7",      "C8",        "C9",    "CLIENTEAUX", "NOMEAUX"};
enum Column : std::size_t { VENDEDOR, VND, CLIENTE, NOME, DESCCAB, TIPOLINHA, LINHA, C0, CLIENTEAUX = 17, NOMEAUX };

constexpr std::int32_t kNameLine = 1;
constexpr std::int32_t kDiscountLine = 2;

// The positions of the statement's columns in a recordset that has them.
std::array<std::size_t, kColumns.size()> indexesIn(const sql::Recordset& rs) {
  std::array<std::size_t, kColumns.size()> at{};
  for (std::size_t c = 0; c < kColumns.size(); ++c) at[c] = rs.fieldIndex(kColumns[c]);
  return at;
}

struct GroupDiscount {
  std::string label;
  double discount = 0;
};

// The groups of the procedure's single row that have a discount, in its column order.
std::vector<GroupDiscount> discountsOf(const sql::Recordset& groups) {
  std::vector<GroupDiscount> out;
  for (std::size_t i = 0; i < groups.fieldCount(); ++i) {
    if (equalsNoCase(groups.field(i).name, "CLCOD")) continue;
    const Variant& value = groups.value(i);
    if (value.isNull() || value.isEmpty()) continue;
    out.push_back({groups.field(i).name, vb::CDbl(value)});
  }
  return out;
}

}  // namespace

std::string DescontosClienteGrupo::sqlVendedoresCliente(const std::string& sVndInicial, const std::string& sVndFinal,
                                                        const std::string& sCliInicial, const std::string& sCliFinal) {
  return "SELECT  distinct CL.VENDEDOR,  VD.NOME AS VND "
         "          ,GD.CLIENTE "
         "          ,CL.NOME "
         "          ,UCL.DSCVALPORKG AS DESCCAB "
         "          ,CL.DESCCAB AS TIPOLINHA"
         "          ,CL.DESCCAB AS LINHA"
         "          ,CL.NOME    AS C0 "
         "          ,CL.NOME    AS C1 "
         "          ,CL.NOME    AS C2 "
         "          ,CL.NOME    AS C3 "
         "          ,CL.NOME    AS C4 "
         "          ,CL.NOME    AS C5 "
         "          ,CL.NOME    AS C6 "
         "          ,CL.NOME    AS C7 "
         "          ,CL.NOME    AS C8 "
         "          ,CL.NOME    AS C9 "
         "          ,GD.CLIENTE AS CLIENTEAUX "
         "          ,CL.NOME    AS NOMEAUX "
         "FROM      [U_QOR_GRUPOSDESCONTO] AS GD "
         "              LEFT OUTER JOIN CLIENTES AS CL "
         "                  ON CL.CODIGO = GD.CLIENTE "
         "              LEFT OUTER JOIN GRUPOS AS GR "
         "                  ON GR.COD = GD.GRUPO "
         "              LEFT OUTER JOIN VENDEDOR AS VD "
         "                  ON VD.CODIGO = CL.VENDEDOR "
         "              LEFT OUTER JOIN U_CLIENTES AS UCL "
         "                  ON UCL.CODIGO = CL.CODIGO "
         "WHERE     GD.DESCONTO <>0 "
         "          AND GD.CLIENTE >='" +
         sql::sqlQuote(sCliInicial) + "' AND GD.CLIENTE<='" + sql::sqlQuote(sCliFinal) +
         "' "
         "          AND CL.VENDEDOR >='" +
         sql::sqlQuote(sVndInicial) + "' AND CL.VENDEDOR <='" + sql::sqlQuote(sVndFinal) +
         "' "
         "ORDER BY  CL.VENDEDOR, GD.CLIENTE ";
}

std::shared_ptr<sql::Recordset> DescontosClienteGrupo::pVendedoresCliente(const std::string& sVndInicial,
                                                                          const std::string& sVndFinal,
                                                                          const std::string& sCliInicial,
                                                                          const std::string& sCliFinal) {
  return data_.OpenRecordset(sqlVendedoresCliente(sVndInicial, sVndFinal, sCliInicial, sCliFinal));
}

std::shared_ptr<sql::Recordset> DescontosClienteGrupo::pDescontosClienteGrupo(const std::string& sVndInicial,
                                                                              const std::string& sVndFinal,
                                                                              const std::string& sCliInicial,
                                                                              const std::string& sCliFinal) {
  sql::Command command(data_.GetConnection(), DatabaseModel::kDescontosGrupoCliente,
                       sql::Command::Kind::StoredProcedure);
  command.append(sql::Command::createParameter("@CLIINICIAL", sql::DataType::VarChar, 15, Variant(sCliInicial)));
  command.append(sql::Command::createParameter("@CLIFINAL", sql::DataType::VarChar, 15, Variant(sCliFinal)));
  command.append(sql::Command::createParameter("@VNDINICIAL", sql::DataType::VarChar, 6, Variant(sVndInicial)));
  command.append(sql::Command::createParameter("@VNDFINAL", sql::DataType::VarChar, 6, Variant(sVndFinal)));
  return command.execute();
}

std::shared_ptr<sql::Recordset> DescontosClienteGrupo::build(const std::string& sVndInicial,
                                                             const std::string& sVndFinal,
                                                             const std::string& sCliInicial,
                                                             const std::string& sCliFinal, const Progress& progress) {
  auto working = pVendedoresCliente(sVndInicial, sVndFinal, sCliInicial, sCliFinal);
  auto added = pVendedoresCliente("-1", "-1", "-1", "-1");
  const auto at = indexesIn(*working);
  const auto addedAt = indexesIn(*added);
  const auto total = static_cast<std::size_t>(std::max(working->recordCount(), 0));

  std::size_t done = 0;
  for (working->moveFirst(); !working->eof(); working->moveNext()) {
    const std::string vendedor = sql::textOrEmpty(working->value(at[VENDEDOR]));
    const std::string cliente = sql::textOrEmpty(working->value(at[CLIENTE]));
    auto groups = pDescontosClienteGrupo(vendedor, vendedor, cliente, cliente);
    std::vector<GroupDiscount> discounts;
    if (groups->fieldCount() > 0 && !sql::noRows(groups.get())) {
      groups->moveFirst();
      discounts = discountsOf(*groups);
    }
    if (progress) progress(++done, total);
    // A client the procedure gives no discount for is left out.
    if (discounts.empty()) {
      working->deleteCurrent();
      continue;
    }

    const Variant label(vendedor + "-" + sql::textOrEmpty(working->value(at[VND])));
    const Variant clienteAux = working->value(at[CLIENTEAUX]);
    const Variant nomeAux = working->value(at[NOMEAUX]);
    auto newLine = [&](std::int32_t tipo, std::int32_t linha) {
      std::vector<Variant> row(added->fieldCount(), Variant::null());
      row[addedAt[VENDEDOR]] = Variant(vendedor);
      row[addedAt[VND]] = label;
      row[addedAt[CLIENTEAUX]] = clienteAux;
      row[addedAt[NOMEAUX]] = nomeAux;
      row[addedAt[CLIENTE]] = Variant("");
      row[addedAt[NOME]] = Variant("");
      row[addedAt[TIPOLINHA]] = Variant(tipo);
      row[addedAt[LINHA]] = Variant(linha);
      return row;
    };

    const std::size_t n = discounts.size();
    const std::size_t lines = (n + kGroupsPerLine - 1) / kGroupsPerLine;
    std::int32_t linha = 0;
    for (std::size_t r = 0; r < lines; ++r) {
      ++linha;
      if (r == 0) {
        working->setValue(at[VND], label);
        working->setValue(at[TIPOLINHA], Variant(kNameLine));
        const Variant& perKg = working->value(at[DESCCAB]);
        if (!perKg.isNull() && vb::CDbl(perKg) == 0.0) working->setValue(at[DESCCAB], Variant::null());
        working->setValue(at[LINHA], Variant(linha));
        for (std::size_t k = 0; k < kGroupsPerLine; ++k) {
          const std::size_t g = r * kGroupsPerLine + k;
          working->setValue(at[C0 + k], Variant(g < n ? discounts[g].label : std::string()));
        }
        working->update();
      } else {
        auto names = newLine(kNameLine, linha);
        for (std::size_t k = 0; k < kGroupsPerLine; ++k) {
          const std::size_t g = r * kGroupsPerLine + k;
          names[addedAt[C0 + k]] = Variant(g < n ? discounts[g].label : std::string());
        }
        added->appendRow(std::move(names));
      }
      auto values = newLine(kDiscountLine, ++linha);
      for (std::size_t k = 0; k < kGroupsPerLine; ++k) {
        const std::size_t g = r * kGroupsPerLine + k;
        values[addedAt[C0 + k]] = g < n ? Variant(discounts[g].discount) : Variant("");
      }
      added->appendRow(std::move(values));
    }
    auto separator = newLine(kDiscountLine, ++linha);
    for (std::size_t k = 0; k < kGroupsPerLine; ++k) separator[addedAt[C0 + k]] = Variant("");
    added->appendRow(std::move(separator));
  }

  // The added lines join the working set, whose columns are the same.
  for (const auto& row : added->rows()) {
    std::vector<Variant> values(working->fieldCount(), Variant::null());
    for (std::size_t c = 0; c < kColumns.size(); ++c) values[at[c]] = row.values[addedAt[c]];
    working->appendRow(std::move(values));
  }
  working->setSort(kSort);
  return working;
}

std::shared_ptr<sql::Recordset> DescontosClienteGrupo::emptyRows() {
  std::vector<sql::Field> fields;
  for (const char* name : kColumns) fields.push_back({name, sql::DataType::Variant});
  return sql::Recordset::create(std::move(fields));
}

}  // namespace quill
