#include "extension/core/DatabaseModel.h"

#include <map>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Connection.h"
#include "platform/sql/ProcedureRegistry.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/ValueOrder.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

struct Group {
  std::string code;
  std::string label;
};

std::string groupLabel(const Variant& code, const Variant& description) {
  const std::string c = code.isString() ? code.stringValue() : std::string();
  const std::string d = description.isString() ? vb::Trim(description.stringValue()) : std::string();
  return d.empty() ? c : c + "-" + d;
}

}  // namespace

void DatabaseModel::registerOn(sql::Connection& connection) {
  connection.procedures().add(kDescontosGrupoCliente, &DatabaseModel::DescontosGrupoCliente);
}

std::shared_ptr<sql::Recordset> DatabaseModel::DescontosGrupoCliente(const sql::ProcedureArguments& arguments,
                                                                     sql::Connection& connection) {
  const std::vector<Variant> ranges{arguments.get("@CLIINICIAL"), arguments.get("@CLIFINAL"),
                                    arguments.get("@VNDINICIAL"), arguments.get("@VNDFINAL")};

  auto clients = connection.query(kDescontosClientesSql, ranges);
  auto groups = connection.query(kDescontosGruposSql);
  auto discounts = connection.query(kDescontosValoresSql, ranges);

  // The columns: every group, then groups known only from discounts.
  std::vector<Group> columns;
  std::map<std::string, std::size_t> columnOf;  // by code key
  for (groups->moveFirst(); !groups->eof(); groups->moveNext()) {
    const Variant& code = groups->value("COD");
    if (!code.isString()) continue;
    columnOf.emplace(sql::codeKey(code.stringValue()), columns.size());
    columns.push_back({code.stringValue(), groupLabel(code, groups->value("DESCR"))});
  }
  for (discounts->moveFirst(); !discounts->eof(); discounts->moveNext()) {
    const Variant& code = discounts->value("GRUPO");
    if (!code.isString() || columnOf.count(sql::codeKey(code.stringValue()))) continue;
    columnOf.emplace(sql::codeKey(code.stringValue()), columns.size());
    columns.push_back({code.stringValue(), code.stringValue()});
  }

  std::vector<sql::Field> fields{{"CLCOD", sql::DataType::VarWChar}};
  for (const Group& g : columns) fields.push_back({g.label, sql::DataType::Double});
  auto result = sql::Recordset::create(std::move(fields));

  std::map<std::string, std::vector<Variant>> rows;  // by code key
  for (clients->moveFirst(); !clients->eof(); clients->moveNext()) {
    std::vector<Variant> row(columns.size() + 1, Variant::null());
    row[0] = clients->value("CODIGO");
    rows.emplace(sql::codeKey(clients->value("CODIGO").stringValue()), std::move(row));
  }
  for (discounts->moveFirst(); !discounts->eof(); discounts->moveNext()) {
    const Variant& client = discounts->value("CLIENTE");
    const Variant& group = discounts->value("GRUPO");
    const Variant& discount = discounts->value("DESCONTO");
    if (!client.isString() || !group.isString() || !discount.isNumeric()) continue;
    auto row = rows.find(sql::codeKey(client.stringValue()));
    if (row == rows.end()) continue;
    const double value = vb::CDbl(discount);
    if (value != 0.0) row->second[columnOf.at(sql::codeKey(group.stringValue())) + 1] = Variant(value);
  }
  for (clients->moveFirst(); !clients->eof(); clients->moveNext())
    result->appendRow(rows.at(sql::codeKey(clients->value("CODIGO").stringValue())));
  return result;
}

}  // namespace quill
