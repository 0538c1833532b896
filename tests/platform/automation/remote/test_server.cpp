// A local server program with the test classes, started by the remote
// tests and benchmarks through their program registries.
#include "platform/automation/remote/LocalServer.h"
#include "tests/platform/automation/remote/TestObjects.h"

int main(int argc, char** argv) {
  quill::remotetest::registerTestTypes();
  return quill::serveLocalServer(argc, argv, quill::remotetest::testFactory("server"));
}
