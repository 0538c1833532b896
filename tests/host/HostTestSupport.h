#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "erp/CompanyEntry.h"
#include "host/CompanyChoice.h"
#include "host/HostCompanySession.h"
#include "host/ObservedUiServices.h"
#include "platform/automation/Dispatch.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/ScriptedUiServices.h"

namespace quill::sql {
class Connection;
}

namespace quill::host::test {

// The QApplication of the test program (offscreen).
void ensureApplication();

// A folder of this test process under the system's temporary folder,
// emptied on first use.
std::filesystem::path processFolder();

// The real extension, as quillhost loads it, but with its configuration
// file in a folder of this test process: the folder holds links to the
// built libraries and its own program registry (naming the built bridge
// server), which $QUILL_REGISTRY points to. Parallel test processes thus
// never share a configuration file.
struct RealExtension {
  std::filesystem::path folder;     // the extension's folder (VALTERO.INI lies here)
  std::filesystem::path binFolder;  // where the build put the programs
  bool bridgeBuilt = false;         // quillbridge exists beside the tests
};
const RealExtension& realExtension();

// A fresh demo installation for one test: "<process folder>/<name>".
CompanyChoice demoCompany(std::string_view name);

// The UI of one test: scripted answers, observed by the session, installed
// for the whole process so that the extension shows its boxes through it.
struct TestUi {
  std::shared_ptr<ui::ScriptedUiServices> scripted = std::make_shared<ui::ScriptedUiServices>();
  std::shared_ptr<ObservedUiServices> observed = std::make_shared<ObservedUiServices>(scripted);

  TestUi();
  // The boxes whose prompt contains `text`.
  std::vector<ui::MessageBox> boxesWith(std::string_view text) const;
};

// An extension object for tests of the host's side: it answers
// ConnectionOpen, EmpresaInteressa, ConnectionClose and ApiLigada as told, every hook
// does nothing unless a test gives it a body, and every call is recorded
// with its arguments as they arrived.
class FakeExtension : public PropertyBag {
 public:
  FakeExtension();
  static std::shared_ptr<FakeExtension> create() { return std::make_shared<FakeExtension>(); }

  // Member names it lists (an in-process object does; empty: it lists none).
  std::vector<std::string> listed;
  std::vector<std::string> memberNames() const override { return listed; }

  struct Call {
    std::string member;
    std::vector<Variant> args;
  };
  std::vector<Call> calls;
  // The calls of one member.
  std::vector<Call> callsOf(std::string_view member) const;
  // Gives a member a body; the call is recorded before the body runs.
  void on(std::string_view member, Method body);

  bool connectionOpenAnswer = true;
  bool interested = true;
  bool apiLinkOn = true;  // what ApiLigada answers
};

// A session on the real extension.
std::unique_ptr<HostCompanySession> realSession(TestUi& ui);
// A session whose extension is `extension` (created for every open),
// configuration written into `extensionFolder`.
std::unique_ptr<HostCompanySession> sessionWith(TestUi& ui, DispatchPtr extension,
                                                const std::filesystem::path& extensionFolder);

// A connection of the test's own to a company database, to check what was stored.
std::shared_ptr<sql::Connection> openDatabase(const CompanyChoice& company);

// Living processes of `program` started by this process.
int childProcesses(std::string_view program);

}  // namespace quill::host::test
