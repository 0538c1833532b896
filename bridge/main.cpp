// The bridge server: serves SageNextApi objects to the extension that
// started it, until the extension has released the last one or has gone.

#include <memory>

#include "bridge/SageNextApi.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/automation/remote/LocalServer.h"

int main(int argc, char** argv) {
  quill::ClassFactory factory;
  factory.add(std::string(quill::SageNextApi::kProgId), [] {
    return std::make_shared<quill::SageNextApi>([](std::string_view progId) { return quill::createObject(progId); });
  });
  return quill::serveLocalServer(argc, argv, factory);
}
