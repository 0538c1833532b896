// quillhost: the ERP host stand-in. It opens a company through the
// extension, offers the extension's menu commands and edits sales documents
// calling the extension's hooks; with --script it runs a script of host
// commands without windows.

#include <fmt/format.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/DemoSetup.h"
#include "host/ExtensionSettings.h"
#include "host/HostCompanySession.h"
#include "host/HostOptions.h"
#include "host/HostScript.h"
#include "host/MainWindow.h"
#include "host/ObservedUiServices.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/ui/ProcessUi.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/QtUiServices.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/RegionalSettings.h"

namespace {

using namespace quill;
using namespace quill::host;

// SIGTERM and SIGINT close the window as the user would, so that the
// extension hears of the company's end (ConnectionClose) and its bridge
// stops; the handler only wakes the event loop.
int gSignalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
  char byte = 1;
  [[maybe_unused]] auto written = ::write(gSignalPipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  auto options = HostOptions::parse(arguments, error);
  if (!options || options->help) {
    if (!options) std::cerr << "quillhost: " << error << "\n";
    std::cerr << HostOptions::usage();
    return options ? 0 : 2;
  }
  std::ifstream scriptFile;
  if (options->script) {
    scriptFile.open(*options->script);
    if (!scriptFile) {
      std::cerr << fmt::format("quillhost: cannot read the script {}\n", options->script->string());
      return 2;
    }
    // A script shows no windows and needs no display.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication app(argc, argv);
  // Qt's own buttons and dialogs speak the user's language too.
  ui::installQtTranslations(vb::RegionalSettings::current().language);

  // The user interface the extension will use too: installed before the
  // extension is created.
  std::shared_ptr<ui::ScriptedUiServices> scripted;
  std::shared_ptr<ui::UiServices> inner;
  if (options->script) {
    scripted = std::make_shared<ui::ScriptedUiServices>();
    inner = scripted;
  } else {
    inner = std::make_shared<ui::QtUiServices>();
  }
  auto observed = std::make_shared<ObservedUiServices>(inner);
  ui::installProcessUiServices(observed);

  HostCompanySession::Environment environment;
  environment.ui = observed.get();
  environment.createObject = [](std::string_view progId) { return createObject(progId); };
  environment.extensionFolder = ExtensionSettings::extensionFolder(ProgramRegistry::installed());
  HostCompanySession session(environment);

  std::filesystem::path demoFolder = DemoSetup::defaultFolder();
  auto demoChoice = [&]() -> CompanyChoice {
    try {
      return DemoSetup::ensure(demoFolder);
    } catch (const std::exception& e) {
      observed->msgBox(
          fmt::format("Não foi possível criar a empresa de demonstração em {}: {}", demoFolder.string(), e.what()),
          vb::vbExclamation, HostCompanySession::kOpenTitle);
      CompanyChoice none;
      none.erpFolder = demoFolder;
      return none;
    }
  };

  CompanyChoice lastChoice;
  std::optional<CompanyChoice> toOpen;
  if (options->demo || options->namesCompany()) {
    if (options->demo) demoChoice();  // makes the installation the choice may point into
    toOpen = options->companyChoice(demoFolder, error);
    if (toOpen)
      lastChoice = *toOpen;
    else
      observed->msgBox(error, vb::vbExclamation, HostCompanySession::kOpenTitle);
  } else {
    DemoSetup::fillDemoDefaults(lastChoice);
  }

  if (options->script) {
    if (toOpen) session.open(*toOpen);
    HostScript script(session, *scripted, demoChoice, std::cout);
    bool passed = script.run(scriptFile);
    session.close();
    return passed ? 0 : 1;
  }

  MainWindow window(session, lastChoice);
  window.show();
  // The company opens in front of the user: what the extension shows while
  // it starts comes over the window.
  if (toOpen) session.open(*toOpen);

  std::unique_ptr<QSocketNotifier> terminationNotifier;
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) == 0) {
    terminationNotifier = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(terminationNotifier.get(), &QSocketNotifier::activated, [&] {
      char byte;
      [[maybe_unused]] auto got = ::read(gSignalPipe[0], &byte, 1);
      // A user who chose to stay with a document being edited keeps the host.
      if (window.close()) app.quit();
    });
    std::signal(SIGTERM, onTerminationSignal);
    std::signal(SIGINT, onTerminationSignal);
  }
  return app.exec();
}
