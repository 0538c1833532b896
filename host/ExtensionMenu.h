#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quill::host {

class HostCompanySession;

// One menu command of the extension: the member the host calls and the
// caption of its menu entry. Commands take the host's main window and the
// company code (lPai, sEmpresa); a few take only the company.
struct ExtensionCommand {
  enum class Arguments { WindowAndCompany, CompanyOnly };
  std::string member;
  std::string caption;
  Arguments arguments = Arguments::WindowAndCompany;
};

// The extension's commands the host offers, in menu order. Each command the
// extension gains adds its row here.
const std::vector<ExtensionCommand>& extensionCommands();

// The host's "Extensão" menu: an entry for every command of the table that
// the extension has, and the switch of the ERP API link.
class ExtensionMenu {
 public:
  static constexpr const char* kApiSwitchCaption = "Ligação SageNext API...";

  struct Entry {
    enum class Kind { Command, ApiSwitch };
    Kind kind = Kind::Command;
    std::string caption;
    ExtensionCommand command;  // for Kind::Command
    bool enabled = true;
  };

  // The entries for the session's extension: a command appears when the
  // extension lists it among its members, or when it lists none (an object
  // of another process: the call then tells). Commands are enabled only
  // for a company that concerns the extension (EmpresaInteressa). Without
  // an active extension there are none.
  static std::vector<Entry> entries(HostCompanySession& session,
                                    const std::vector<ExtensionCommand>& table = extensionCommands());

  // Runs an entry: the command late-bound with lPai = `window` and
  // sEmpresa = the open company, or ConnectDisconnectApiNext. Errors are
  // shown in a box titled with the entry's caption, never passed on.
  static void run(const Entry& entry, HostCompanySession& session, std::int32_t window);
};

}  // namespace quill::host
