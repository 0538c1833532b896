#pragma once

#include <memory>

namespace quill {

namespace sql {
class Connection;
class ProcedureArguments;
class Recordset;
}  // namespace sql

// The database side of the extension that is code rather than tables: its
// procedures, registered on a company connection after it is opened (the
// extension's tables themselves come from its installation script).
class DatabaseModel {
 public:
  static constexpr const char* kDescontosGrupoCliente = "qor_VTO_DescontosGrupoCliente";

  // The statements of qor_VTO_DescontosGrupoCliente, each bound to the
  // four ranges (first client, last client, first seller, last seller)
  // but the groups' one.
  static constexpr const char* kDescontosClientesSql =
      "SELECT CODIGO FROM CLIENTES WHERE CODIGO >= ? AND CODIGO <= ? AND VENDEDOR >= ? AND VENDEDOR <= ? "
      "ORDER BY CODIGO";
  static constexpr const char* kDescontosGruposSql = "SELECT COD, DESCR FROM GRUPOS ORDER BY COD";
  static constexpr const char* kDescontosValoresSql =
      "SELECT GD.CLIENTE, GD.GRUPO, GD.DESCONTO FROM U_QOR_GRUPOSDESCONTO AS GD "
      "INNER JOIN CLIENTES AS CL ON CL.CODIGO = GD.CLIENTE "
      "WHERE CL.CODIGO >= ? AND CL.CODIGO <= ? AND CL.VENDEDOR >= ? AND CL.VENDEDOR <= ? "
      "ORDER BY GD.GRUPO";

  // Registers every procedure of the extension on the connection.
  static void registerOn(sql::Connection& connection);

  // qor_VTO_DescontosGrupoCliente(@CLIINICIAL, @CLIFINAL, @VNDINICIAL,
  // @VNDFINAL): one row for each client whose code lies in the client range
  // and whose seller lies in the seller range (codes compared without regard
  // to case), in code order; the discounts report asks for one client at a
  // time. Columns: CLCOD, the client's code, then one column per product
  // group in group-code order, named "<COD>-<DESCR>" (the label the report
  // shows; the bare code when the group has no description), holding the
  // client's discount for that group, or Null where the client has none. A
  // stored discount of 0 is no discount and reads Null too. Groups that
  // discounts name but GRUPOS lacks come last, named by their code. With no
  // client in the ranges the answer has the columns and no row.
  static std::shared_ptr<sql::Recordset> DescontosGrupoCliente(const sql::ProcedureArguments& arguments,
                                                               sql::Connection& connection);
};

// What the extension's owner calls after opening a company connection.
inline void registerDatabaseModel(sql::Connection& connection) { DatabaseModel::registerOn(connection); }

}  // namespace quill
