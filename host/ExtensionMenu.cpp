#include "host/ExtensionMenu.h"

#include <fmt/format.h>

#include "host/ExtensionObject.h"
#include "host/HostCompanySession.h"
#include "platform/automation/AutomationError.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/MsgBox.h"

namespace quill::host {

const std::vector<ExtensionCommand>& extensionCommands() {
  using A = ExtensionCommand::Arguments;
  // In the order of the extension's interface.
  static const std::vector<ExtensionCommand> commands = {
      {"EditGruposDescontos", "Descontos por cliente/grupo...", A::WindowAndCompany},
      {"EditLinhasPrecos", "Linhas de preços...", A::WindowAndCompany},
      {"EditAltLinhasPrecos", "Alteração de linhas de preços...", A::WindowAndCompany},
      {"EditAltPrecos", "Alteração de preços...", A::WindowAndCompany},
      {"EditComissoes", "Cálculo de comissões...", A::WindowAndCompany},
      {"EditComPorGrupo", "Comissões por grupo...", A::CompanyOnly},
      {"MapaDescontosClienteGrupo", "Mapa de descontos por cliente/grupo...", A::WindowAndCompany},
      {"MapaPendentesComTolerancia", "Mapa de pendentes com tolerância...", A::WindowAndCompany},
      {"MapaMediaVendas", "Mapa de média de vendas...", A::WindowAndCompany},
      {"MapaPendentes", "Mapa de pendentes...", A::WindowAndCompany},
  };
  return commands;
}

std::vector<ExtensionMenu::Entry> ExtensionMenu::entries(HostCompanySession& session,
                                                         const std::vector<ExtensionCommand>& table) {
  std::vector<Entry> list;
  ExtensionObject* extension = session.extension();
  if (!extension || !session.extensionActive()) return list;
  for (const auto& command : table) {
    if (extension->hasMember(command.member).value_or(true))
      list.push_back(Entry{Entry::Kind::Command, command.caption, command, session.extensionInterested()});
  }
  list.push_back(Entry{Entry::Kind::ApiSwitch, kApiSwitchCaption, {}, true});
  return list;
}

void ExtensionMenu::run(const Entry& entry, HostCompanySession& session, std::int32_t window) {
  if (!entry.enabled) return;
  if (entry.kind == Entry::Kind::ApiSwitch) {
    session.toggleApiLink();
    return;
  }
  ExtensionObject* extension = session.extension();
  if (!extension) return;
  std::string company = session.company().code;
  try {
    if (entry.command.arguments == ExtensionCommand::Arguments::CompanyOnly)
      extension->command(entry.command.member, {company});
    else
      extension->command(entry.command.member, {window, company});
  } catch (const AutomationError& error) {
    if (error.number() == vberr::MemberNotSupported)
      session.ui().msgBox(fmt::format("A extensão não tem o comando {}.", entry.command.member), vb::vbExclamation,
                          entry.caption);
    else
      session.ui().showError(error, entry.caption);
  } catch (const std::exception& error) {
    session.ui().showError(error, entry.caption);
  }
}

}  // namespace quill::host
