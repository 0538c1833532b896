#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace quill {

class DataAccess;

namespace sql {
class Recordset;
}

// The rows of the client/group discounts report: for each client of a
// client and seller range with a non-zero discount, pairs of lines of five
// groups (a line of group names, a line of their discounts), then a
// separator line, sorted by seller label, client and line number.
//
// The working set has the columns of the clients statement: VENDEDOR, VND
// (the seller's label "code-name"), CLIENTE and NOME (on the client's first
// line only), DESCCAB (the discount per kilogram on the first line, Null
// when 0), TIPOLINHA (1 names, 2 discounts), LINHA (from 1 within the
// client), C0 to C9 (the build fills C0 to C4), CLIENTEAUX and NOMEAUX (the
// client on every line).
class DescontosClienteGrupo {
 public:
  static constexpr int kGroupsPerLine = 5;
  static constexpr const char* kSort = "VND ASC, CLIENTEAUX ASC, LINHA ASC";

  explicit DescontosClienteGrupo(DataAccess& data) : data_(data) {}

  // The clients with at least one non-zero discount in the ranges, in
  // seller and client order (codes compared as text, quotes doubled).
  static std::string sqlVendedoresCliente(const std::string& sVndInicial, const std::string& sVndFinal,
                                          const std::string& sCliInicial, const std::string& sCliFinal);
  std::shared_ptr<sql::Recordset> pVendedoresCliente(const std::string& sVndInicial, const std::string& sVndFinal,
                                                     const std::string& sCliInicial, const std::string& sCliFinal);
  // The procedure's answer for the ranges: CLCOD, then a column per group
  // named by its label, the discount or Null.
  std::shared_ptr<sql::Recordset> pDescontosClienteGrupo(const std::string& sVndInicial, const std::string& sVndFinal,
                                                         const std::string& sCliInicial, const std::string& sCliFinal);

  // Called after each client of the working set, with how many there are.
  using Progress = std::function<void(std::size_t done, std::size_t total)>;

  // The report's rows for the ranges. Errors pass.
  std::shared_ptr<sql::Recordset> build(const std::string& sVndInicial, const std::string& sVndFinal,
                                        const std::string& sCliInicial, const std::string& sCliFinal,
                                        const Progress& progress = {});

  // An empty working set, for a grid that has no rows to show.
  static std::shared_ptr<sql::Recordset> emptyRows();

 private:
  DataAccess& data_;
};

}  // namespace quill
