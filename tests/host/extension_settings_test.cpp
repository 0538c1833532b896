// The extension's configuration file as the host writes it, read back with
// the same private-profile functions the extension reads it with.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "HostTestSupport.h"
#include "host/ExtensionSettings.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/winapi/PrivateProfile.h"

namespace quill::host {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& file, const char* section, const char* key) {
  std::string value;
  winapi::getPrivateProfileString(section, key, "<none>", value, 1024, file);
  return value;
}

std::string bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ExtensionSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = test::processFolder() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
    settings.apiPassword = "segredo";
    settings.apiLogin = "quill";
    settings.company = "DEMO";
    settings.logFolder = "/erp/log";
    settings.erpFolder = "/erp";
    settings.server = "/erp/dados";
    settings.database = "QUILLDEMO";
    settings.allowanceDocumentTypes = "FT,NC";
    settings.allowanceArticle = "ABFRETE";
  }
  fs::path folder;
  ExtensionSettings settings;
};

TEST_F(ExtensionSettingsTest, EveryKeyTheExtensionReadsIsWrittenInUtf8) {
  fs::path file = folder / "VALTERO.INI";
  std::string error;
  ASSERT_TRUE(settings.write(file, error)) << error;
  const std::tuple<const char*, const char*, const char*> expected[] = {
      {"Api Next", "password", "segredo"},
      {"Api Next", "Login", "quill"},
      {"Api Next", "Empresa", "DEMO"},
      {"Api Next", "perclog", "/erp/log"},
      {"Api Next", "PercWindows", "/erp"},
      {"Ligação", "Servidor", "/erp/dados"},
      {"Ligação", "BaseDados", "QUILLDEMO"},
      {"Ligação", "User", ""},
      {"Ligação", "PassWord", ""},
      {"DOCUMENTOS VENDA", "TPDOC", "FT,NC"},
      {"DOCUMENTOS VENDA", "DESCRTABONO", "ABFRETE"},
  };
  for (const auto& [section, key, value] : expected) EXPECT_EQ(read(file, section, key), value) << key;
  EXPECT_NE(bytes(file).find("[Liga\xC3\xA7\xC3\xA3o]"), std::string::npos);
}

TEST_F(ExtensionSettingsTest, WritingReplacesTheWholeFileWithoutLeavingTemporaries) {
  fs::path file = folder / "VALTERO.INI";
  // An earlier file in Windows-1252 with a stray key.
  std::ofstream(file, std::ios::binary) << "[Liga\xE7\xE3o]\r\nServidor=velho\r\nOutra=1\r\n";
  std::string error;
  ASSERT_TRUE(settings.write(file, error)) << error;
  EXPECT_EQ(read(file, "Ligação", "Servidor"), "/erp/dados");
  EXPECT_EQ(read(file, "Ligação", "Outra"), "<none>");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(ExtensionSettingsTest, FileThatCannotBeWrittenGivesTheReasonAndKeepsTheOldOne) {
  fs::path file = folder / "VALTERO.INI";
  std::ofstream(file) << "[Api Next]\nEmpresa=ANTIGA\n";
  fs::path missing = folder / "naoexiste" / "VALTERO.INI";
  std::string error;
  EXPECT_FALSE(settings.write(missing, error));
  EXPECT_FALSE(error.empty());
  // A folder in the file's place cannot be replaced.
  fs::create_directories(folder / "VALTERO.quill");
  error.clear();
  EXPECT_FALSE(settings.write(folder / "VALTERO.quill", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(read(file, "Api Next", "Empresa"), "ANTIGA");
}

TEST_F(ExtensionSettingsTest, PerUserFileIsTheOneWrittenWhenItExists) {
  EXPECT_EQ(ExtensionSettings::fileFor(folder, "quill"), folder / "VALTERO.INI");
  std::ofstream(folder / "VALTERO.quill") << "";
  EXPECT_EQ(ExtensionSettings::fileFor(folder, "quill"), folder / "VALTERO.quill");
  EXPECT_EQ(ExtensionSettings::fileFor(folder, "maria"), folder / "VALTERO.INI");
  EXPECT_EQ(ExtensionSettings::fileFor(folder, ""), folder / "VALTERO.INI");
}

TEST_F(ExtensionSettingsTest, AllowanceSettingsOfAnEarlierFileAreKept) {
  fs::path file = folder / "VALTERO.INI";
  std::ofstream(file) << "[DOCUMENTOS VENDA]\nTPDOC=FT,FS\n";
  ExtensionSettings fresh;
  fresh.allowanceArticle = "ABFRETE";
  fresh.keepAllowanceSettingsOf(file);
  EXPECT_EQ(fresh.allowanceDocumentTypes, "FT,FS");
  EXPECT_EQ(fresh.allowanceArticle, "ABFRETE");
}

TEST_F(ExtensionSettingsTest, ExtensionFolderIsTheFolderOfTheRegisteredLibrary) {
  std::ofstream(folder / "reg") << "Quillplug.DescComissoes = inproc sub/libquillplug.so\n";
  auto found = ExtensionSettings::extensionFolder(ProgramRegistry::load(folder / "reg"));
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, folder / "sub");
  std::ofstream(folder / "empty") << "";
  EXPECT_FALSE(ExtensionSettings::extensionFolder(ProgramRegistry::load(folder / "empty")));
}

}  // namespace
}  // namespace quill::host
