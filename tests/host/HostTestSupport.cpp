#include "HostTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "erp/CompanyDatabase.h"
#include "erp/Installation.h"
#include "host/DemoSetup.h"
#include "host/ExtensionObject.h"
#include "host/ExtensionSettings.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/sql/Connection.h"
#include "platform/ui/ProcessUi.h"
#include "tests/support/TestApplication.h"

namespace quill::host::test {

namespace fs = std::filesystem;

void ensureApplication() {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The shared one, never destroyed: the input devices of a simulated key
  // press are Qt statics that go at exit.
  quill::testing::testApplication();
}

fs::path processFolder() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / ("quill-host-test-" + std::to_string(::getpid()));
    fs::remove_all(f);
    fs::create_directories(f);
    // The demo companies of a test process go with it.
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(fs::temp_directory_path() / ("quill-host-test-" + std::to_string(::getpid())), ec);
    });
    return f;
  }();
  return folder;
}

const RealExtension& realExtension() {
  static const RealExtension extension = [] {
    RealExtension e;
    e.binFolder = programFolder();
    e.folder = processFolder() / "extension";
    fs::create_directories(e.folder);
    for (const auto& entry : fs::directory_iterator(e.binFolder)) {
      auto name = entry.path().filename().string();
      // The libraries, and the report files the extension prints beside itself.
      const bool library = name.size() > 3 && name.find(".so") != std::string::npos;
      if (library || entry.path().extension() == ".rpt") fs::create_symlink(entry.path(), e.folder / name);
    }
    e.bridgeBuilt = fs::exists(e.binFolder / "quillbridge");
    // The installation's registry with the extension moved to this folder;
    // every other class (the bridge, the ERP API) stays where the build put it.
    fs::path registry = e.folder / ProgramRegistry::kFileName;
    std::ofstream out(registry);
    ProgramRegistry installed = ProgramRegistry::load(e.binFolder / ProgramRegistry::kFileName);
    for (const auto& entry : installed.entries()) {
      fs::path binary =
          equalsNoCase(entry.progId, ExtensionObject::kProgId) ? e.folder / entry.binary.filename() : entry.binary;
      out << entry.progId << " = " << (entry.kind == ProgramEntry::Kind::InProcess ? "inproc " : "localserver ")
          << binary.string() << "\n";
    }
    out.close();
    // Read once per process, before anything creates an object.
    ::setenv("QUILL_REGISTRY", registry.c_str(), 1);
    return e;
  }();
  return extension;
}

CompanyChoice demoCompany(std::string_view name) {
  fs::path folder = processFolder() / std::string(name);
  fs::remove_all(folder);
  return DemoSetup::ensure(folder);
}

TestUi::TestUi() {
  ensureApplication();
  ui::installProcessUiServices(observed);
}

std::vector<ui::MessageBox> TestUi::boxesWith(std::string_view text) const {
  std::vector<ui::MessageBox> found;
  for (const auto& box : scripted->boxes())
    if (box.prompt.find(text) != std::string::npos) found.push_back(box);
  return found;
}

FakeExtension::FakeExtension() : PropertyBag("DescComissoes") {
  for (const char* hook : {"ValidateArtigo", "ValidateQuantidade", "ValidateUnidade", "ValidatePrecoUnit",
                           "ValidateDesconto", "ValidateDescontoValor", "ConnectDisconnectApiNext"})
    on(hook, [](std::span<Variant>) { return Variant(); });
  on("ConnectionOpen", [this](std::span<Variant>) { return Variant(connectionOpenAnswer); });
  on("EmpresaInteressa", [this](std::span<Variant>) { return Variant(interested); });
  on("ConnectionClose", [](std::span<Variant>) { return Variant(true); });
  on("IsNotaCredito", [](std::span<Variant>) { return Variant(false); });
  on("VendasDocumentoInteressa", [](std::span<Variant>) { return Variant(false); });
  on("VendasAbonoFrete", [](std::span<Variant>) { return Variant(false); });
  // Asked after the calls that may change it; not recorded.
  setMethod("ApiLigada", [this](std::span<Variant>) { return Variant(apiLinkOn); });
}

void FakeExtension::on(std::string_view member, Method body) {
  setMethod(member, [this, name = std::string(member), body = std::move(body)](std::span<Variant> args) {
    calls.push_back(Call{name, std::vector<Variant>(args.begin(), args.end())});
    return body(args);
  });
}

std::vector<FakeExtension::Call> FakeExtension::callsOf(std::string_view member) const {
  std::vector<Call> found;
  for (const auto& c : calls)
    if (c.member == member) found.push_back(c);
  return found;
}

std::unique_ptr<HostCompanySession> realSession(TestUi& ui) {
  const RealExtension& extension = realExtension();
  HostCompanySession::Environment env;
  env.ui = ui.observed.get();
  env.createObject = [](std::string_view progId) { return createObject(progId); };
  env.extensionFolder = ExtensionSettings::extensionFolder(ProgramRegistry::installed());
  EXPECT_EQ(env.extensionFolder, extension.folder);
  return std::make_unique<HostCompanySession>(env);
}

std::unique_ptr<HostCompanySession> sessionWith(TestUi& ui, DispatchPtr extension, const fs::path& extensionFolder) {
  HostCompanySession::Environment env;
  env.ui = ui.observed.get();
  env.createObject = [extension](std::string_view progId) -> DispatchPtr {
    EXPECT_EQ(progId, ExtensionObject::kProgId);
    return extension;
  };
  fs::create_directories(extensionFolder);
  env.extensionFolder = extensionFolder;
  return std::make_unique<HostCompanySession>(env);
}

std::shared_ptr<sql::Connection> openDatabase(const CompanyChoice& company) {
  auto installation = erp::Installation::open(company.erpFolder);
  return erp::openCompanyDatabase(*installation.findCompany(company.company));
}

int childProcesses(std::string_view program) {
  int count = 0;
  std::string me = std::to_string(::getpid());
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...
    auto open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::string comm = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 2));
    std::string state, ppid;
    rest >> state >> ppid;
    if (comm == program && ppid == me) ++count;
  }
  return count;
}

}  // namespace quill::host::test
