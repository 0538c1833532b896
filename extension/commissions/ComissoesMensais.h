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

// The monthly commissions of the sellers: for a year and a month, the
// quantities sold on the sales documents summed per seller and product
// group with the seller's rate for the group (U_QOR_COMGRUPOS), and the
// month's rows of U_qor_ComMensais that keep them. A row keeps the base
// and the rate; the amount (base × rate / 100) is the report's.
//
// The year is the text of the year field, a number already checked; the
// month is 1 to 12. Statements go through the data-access object as the
// system writes them.
class ComissoesMensais {
 public:
  explicit ComissoesMensais(DataAccess& data) : data_(data) {}

  // Makes sure U_qor_ComMensais exists: the probe fails with "no table" or
  // "errors in command" only when it is missing, and the table is then
  // created. Any other failure of the probe is ignored.
  void criarTabela();

  // True when the month already has stored rows.
  bool calculado(const std::string& ano, int mes);

  // The bases of the month (Peso, VENDEDOR, Grupo, Comissao), one row per
  // seller and group. Each document line counts its quantity signed by its
  // document: (|TPTERC − SINALCT| × 2 − 1), so that with TPTERC 2 credit
  // notes (SINALCT 2) count negative. Only lines whose seller has a rate
  // for the article's group count.
  std::shared_ptr<sql::Recordset> bases(const std::string& ano, int mes);

  // Told how many of the bases are written, after each one.
  using Progress = std::function<void(std::size_t done)>;
  // Replaces the month's rows, of every seller, by one row per base, in one
  // transaction: a failure anywhere leaves the month as it was.
  void gravar(const std::string& ano, int mes, sql::Recordset& bases, const Progress& progress = {});

  // The statement that sums the bases, exactly as the system writes it.
  static std::string sqlBases(const std::string& ano, int mes);

 private:
  DataAccess& data_;
};

}  // namespace quill
