#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quill {

// An OLE DB connection string as the extension builds it:
//
//   "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=<server>;
//    Initial Catalog=<database>;User Id=...;Password=...; "
//
// "key=value" pairs separated by ";"; keys compare without regard to case
// and to blanks around them; a value may be put between double or single
// quotes (doubling the quote inside) when it holds a ";"; empty pairs (a
// trailing "; ") are ignored.
class ConnectionString {
 public:
  // Nothing, with the reason in `error`, for text that is not such a string
  // (a part without "=", an empty key, an unclosed quote, a key twice with
  // different values).
  static std::optional<ConnectionString> parse(std::string_view text, std::string& error);

  // The value of a key, blanks around it removed; empty when absent.
  std::string value(std::string_view key) const;
  bool has(std::string_view key) const;

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
};

// "Provider=…;Data Provider=…;Data Source=…;Initial Catalog=…" with the
// login ("User Id=…;Password=…; ") or integrated security: the string the
// extension opens its database with, and the report printer its own.
std::string buildConnectionString(std::string_view shapeProvider, std::string_view dataProvider,
                                  std::string_view server, std::string_view database, std::string_view user,
                                  std::string_view password);

}  // namespace quill
