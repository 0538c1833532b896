#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/automation/AutomationError.h"
#include "platform/automation/ProgramRegistry.h"

namespace quill {
namespace {

TEST(ProgramRegistry, ReadsEntriesRelativeToItsFolderAndSkipsMalformedLines) {
  auto dir = std::filesystem::temp_directory_path() / "quill-registry-test";
  std::filesystem::create_directories(dir);
  auto file = dir / "programs.reg";
  std::ofstream(file) << "# comment\n"
                         "Quillplug.DescComissoes = inproc libquillplug.so\r\n"
                         "\n"
                         "no equals sign here\n"
                         "Bad.Kind = teleport x\n"
                         "Quillbridge.SageNextApi=localserver /opt/quill/quillbridge\n";
  auto registry = ProgramRegistry::load(file);
  ASSERT_EQ(registry.entries().size(), 2u);
  auto plug = registry.find("QUILLPLUG.descComissoes");
  ASSERT_TRUE(plug);
  EXPECT_EQ(plug->kind, ProgramEntry::Kind::InProcess);
  EXPECT_EQ(plug->binary, dir / "libquillplug.so");
  auto bridge = registry.find("Quillbridge.SageNextApi");
  ASSERT_TRUE(bridge);
  EXPECT_EQ(bridge->kind, ProgramEntry::Kind::LocalServer);
  EXPECT_EQ(bridge->binary, "/opt/quill/quillbridge");
  EXPECT_FALSE(registry.find("Bad.Kind"));
  EXPECT_TRUE(ProgramRegistry::load(dir / "missing.reg").entries().empty());
  // A registry read just for a loop lives as long as the loop.
  std::vector<std::string> ids;
  for (const auto& entry : ProgramRegistry::load(file).entries()) ids.push_back(entry.progId);
  EXPECT_EQ(ids, (std::vector<std::string>{"Quillplug.DescComissoes", "Quillbridge.SageNextApi"}));
  std::filesystem::remove_all(dir);
}

TEST(ProgramRegistry, InProcessCreationOfAMissingLibraryFailsWith429) {
  ProgramEntry entry{"Nowhere.Class", ProgramEntry::Kind::InProcess, "/nonexistent/libnothing.so"};
  try {
    createInProcessObject(entry);
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 429);
  }
}

}  // namespace
}  // namespace quill
