#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/CompanyChoice.h"

namespace quill::host {

// quillhost's command line:
//
//   quillhost [--demo] [--erp <folder>] [--company <code>] [--user <login>]
//             [--password <password>] [--script <file>]
//
// --demo makes (or reuses) the demo installation and company and opens it;
// with --erp, --company or --user another company is opened instead (the
// demo installation being the default folder when --demo is given).
// Without a company the window opens empty and one is chosen from its menu.
// --script runs a script without showing windows (see HostScript).
struct HostOptions {
  bool demo = false;
  std::optional<std::filesystem::path> erpFolder;
  std::optional<std::string> company;
  std::optional<std::string> user;
  std::optional<std::string> password;
  std::optional<std::filesystem::path> script;
  bool help = false;

  // Nothing, with the reason in `error`, for a line it does not understand.
  static std::optional<HostOptions> parse(const std::vector<std::string>& arguments, std::string& error);
  static std::string usage();

  // A company is named on the line (by --erp, --company or --user).
  bool namesCompany() const { return erpFolder || company || user; }
  // The company to open, with `demoFolder` standing for the demo
  // installation; nothing when the line names none, or names it only in
  // part (the reason then in `error`).
  std::optional<CompanyChoice> companyChoice(const std::filesystem::path& demoFolder, std::string& error) const;
};

}  // namespace quill::host
