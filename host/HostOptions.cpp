#include "host/HostOptions.h"

#include <fmt/format.h>

#include "erp/DemoCodes.h"
#include "host/DemoSetup.h"

namespace quill::host {

std::string HostOptions::usage() {
  return "usage: quillhost [--demo] [--erp <folder>] [--company <code>] [--user <login>] [--password <password>]\n"
         "                 [--script <file>]\n"
         "  --demo      create (or reuse) the demo company and open it; the folder is $QUILL_DEMO_DIR,\n"
         "              else \"demo\" beside the program's folder\n"
         "  --erp, --company, --user, --password   open another company of an ERP installation\n"
         "  --script    run a script of host commands without windows (exit status 0 when it passes)\n";
}

std::optional<HostOptions> HostOptions::parse(const std::vector<std::string>& arguments, std::string& error) {
  HostOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= arguments.size() || arguments[i + 1].rfind("--", 0) == 0) {
        error = fmt::format("{} needs a value", arg);
        return std::nullopt;
      }
      return arguments[++i];
    };
    if (arg == "--demo") {
      options.demo = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--erp" || arg == "--company" || arg == "--user" || arg == "--password" || arg == "--script") {
      auto v = value();
      if (!v) return std::nullopt;
      if (v->empty() && arg != "--password") {
        error = fmt::format("{} needs a value", arg);
        return std::nullopt;
      }
      if (arg == "--erp")
        options.erpFolder = *v;
      else if (arg == "--company")
        options.company = *v;
      else if (arg == "--user")
        options.user = *v;
      else if (arg == "--password")
        options.password = *v;
      else
        options.script = *v;
    } else {
      error = fmt::format("unknown argument \"{}\"", arg);
      return std::nullopt;
    }
  }
  return options;
}

std::optional<CompanyChoice> HostOptions::companyChoice(const std::filesystem::path& demoFolder,
                                                        std::string& error) const {
  if (!demo && !namesCompany()) return std::nullopt;
  CompanyChoice choice;
  if (demo) {
    choice.erpFolder = demoFolder;
    choice.company = std::string(erp::demo::kCompanyCode);
    choice.user = std::string(erp::demo::kLogin);
    choice.password = std::string(erp::demo::kPassword);
    // The demo's allowance settings, unless another company is asked for.
    choice.forceAllowanceSettings = !namesCompany();
  }
  if (erpFolder) choice.erpFolder = *erpFolder;
  if (company) choice.company = *company;
  if (user) {
    // Another user of the demo installation brings his own password.
    if (demo && *user != erp::demo::kLogin) choice.password.clear();
    choice.user = *user;
  }
  if (password) choice.password = *password;
  if (choice.erpFolder.empty() || choice.company.empty() || choice.user.empty()) {
    error = "to open a company give --erp, --company and --user (or --demo)";
    return std::nullopt;
  }
  DemoSetup::fillDemoDefaults(choice);
  return choice;
}

}  // namespace quill::host
