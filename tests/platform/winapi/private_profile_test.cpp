#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/vb/TextEncoding.h"
#include "platform/winapi/PrivateProfile.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::winapi {
namespace {

using quill::testing::TempFolder;
using std::nullopt;

class PrivateProfileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::filesystem::path ini_ = folder_ / "VALTERO.INI";

  std::string get(std::optional<std::string_view> section, std::optional<std::string_view> key,
                  std::string_view defaultValue = "", std::uint32_t size = 255) {
    std::string out;
    std::uint32_t n = getPrivateProfileString(section, key, defaultValue, out, size, ini_);
    EXPECT_EQ(n, vb::utf8Length(out));  // the count is the text's length in characters
    return out;
  }
};

// Names as a list read answers them: each followed by a NUL.
std::string nulList(std::initializer_list<std::string_view> names) {
  std::string out;
  for (auto name : names) {
    out.append(name);
    out += '\0';
  }
  return out;
}

// A configuration file as Windows writes it: CR LF, Windows-1252.
const std::string kWindowsIni =
    "[Api Next]\r\n"
    "Login=admin\r\n"
    "password = segredo  \r\n"
    "; the ERP company\r\n"
    "Empresa=\"VALTERO\"\r\n"
    "\r\n"
    "[Liga\xE7\xE3o]\r\n"
    "Servidor=srv\\sql\r\n"
    "BaseDados=Emp\xE9sa\r\n";

TEST_F(PrivateProfileTest, ReadsAWindows1252FileWithAccentedNames) {
  TempFolder::write(ini_, kWindowsIni);
  EXPECT_EQ(get("Ligação", "Servidor"), "srv\\sql");
  EXPECT_EQ(get("LIGAÇÃO", "basedados"), "Empésa");
  EXPECT_EQ(get("api next", "PASSWORD"), "segredo");
  EXPECT_EQ(get("Api Next", "Empresa"), "VALTERO");           // the quotes go, as on Windows
  EXPECT_EQ(get("Api Next", "; the ERP company", "d"), "d");  // a comment is no key
}

TEST_F(PrivateProfileTest, ReadsUtf8FilesWithOrWithoutByteOrderMark) {
  for (std::string bom : {"", "\xEF\xBB\xBF"}) {
    TempFolder::write(ini_, bom + "[Ligação]\nServidor=sérvidor\n");
    EXPECT_EQ(get("Ligação", "Servidor"), "sérvidor") << bom.size();
    EXPECT_EQ(get(nullopt, nullopt), nulList({"Ligação"})) << bom.size();
  }
}

// What Windows' profile functions read, whichever way a Windows program
// saved the file.
TEST_F(PrivateProfileTest, ReadsFilesAsWindowsProgramsSaveThem) {
  const std::string utf16 =
      "\xFF\xFE" + vb::utf16LeFromUtf8("[Api Next]\r\nEmpresa=DEMO\r\n[Ligação]\r\nServidor=só\r\n");
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-16LE with its byte-order mark (Notepad's Unicode)", utf16},
      {"CR alone at every line end", "[Api Next]\rEmpresa=DEMO\r[Ligação]\rServidor=só\r"},
      {"CR alone, no line end at the last line", "[Api Next]\rEmpresa=DEMO\r\r[Ligação]\rServidor=só"},
      {"line ends of every kind", "[Api Next]\r\nEmpresa=DEMO\n[Ligação]\rServidor=só\r\n"},
      {"UTF-8 with one Windows-1252 byte elsewhere",
       "[Api Next]\r\nEmpresa=DEMO\r\n; caf\xE9\r\n[Ligação]\r\nServidor=só\r\n"},
  };
  for (const auto& c : cases) {
    TempFolder::write(ini_, c.bytes);
    EXPECT_EQ(get("Api Next", "Empresa"), "DEMO") << c.name;
    EXPECT_EQ(get("Ligação", "Servidor"), "só") << c.name;
    EXPECT_EQ(get(nullopt, nullopt), nulList({"Api Next", "Ligação"})) << c.name;
    EXPECT_EQ(get("Ligação", nullopt), nulList({"Servidor"})) << c.name;
  }
}

TEST_F(PrivateProfileTest, WritingKeepsAWindowsFilesEncodingAndLineEnds) {
  const struct {
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {
      {"UTF-16LE stays UTF-16LE", "\xFF\xFE" + vb::utf16LeFromUtf8("[Ligação]\r\nServidor=a\r\n; é\r\n"),
       "\xFF\xFE" + vb::utf16LeFromUtf8("[Ligação]\r\nServidor=só\r\n; é\r\nUser=sa\r\n")},
      {"CR alone stays CR alone", "[Ligação]\rServidor=a\r", "[Ligação]\rServidor=só\rUser=sa\r"},
      // The stray byte's line is left as it was; the new lines are UTF-8.
      {"UTF-8 with a stray byte stays UTF-8", "[Ligação]\r\n; caf\xE9\r\nServidor=a\r\n",
       "[Ligação]\r\n; caf\xE9\r\nServidor=só\r\nUser=sa\r\n"},
  };
  for (const auto& c : cases) {
    TempFolder::write(ini_, c.before);
    ASSERT_EQ(writePrivateProfileString("Ligação", "Servidor", "só", ini_), 1) << c.name;
    ASSERT_EQ(writePrivateProfileString("Ligação", "User", "sa", ini_), 1) << c.name;
    EXPECT_EQ(TempFolder::read(ini_), c.after) << c.name;
  }
  // A UTF-16 file that could not be read back exactly is not rewritten.
  const std::string broken = std::string("\xFF\xFE[\0S\0]\0\x00\xD8", 10);
  TempFolder::write(ini_, broken);
  EXPECT_EQ(writePrivateProfileString("S", "k", "v", ini_), 0);
  EXPECT_EQ(TempFolder::read(ini_), broken);
}

TEST_F(PrivateProfileTest, MissingThingsGiveTheDefault) {
  EXPECT_EQ(get("Api Next", "Login", "dflt"), "dflt");  // no file
  TempFolder::write(ini_, kWindowsIni);
  EXPECT_EQ(get("Api Next", "Nope", "FAIL"), "FAIL");
  EXPECT_EQ(get("Nope", "Login", ""), "");
  EXPECT_EQ(get("Api Next", "Nope", "trailing  "), "trailing");  // Windows drops the default's trailing blanks
  EXPECT_EQ(get("Api Next", "", "dflt"), "");
}

TEST_F(PrivateProfileTest, ValuesAreCutToTheBufferInCharacters) {
  std::string cedillas;
  for (int i = 0; i < 150; ++i) cedillas += "ç";
  TempFolder::write(ini_,
                    "[S]\nlong=" + std::string(300, 'x') + "\naccents=" + std::string(150, 'a') + cedillas + "\n");
  std::string out;
  EXPECT_EQ(getPrivateProfileString("S", "long", "", out, 255, ini_), 254u);
  EXPECT_EQ(out, std::string(254, 'x'));
  EXPECT_EQ(getPrivateProfileString("S", "accents", "", out, 255, ini_), 254u);
  std::string expected(150, 'a');
  for (int i = 0; i < 104; ++i) expected += "ç";
  EXPECT_EQ(out, expected);
  EXPECT_EQ(getPrivateProfileString("S", "long", "", out, 1, ini_), 0u);
  EXPECT_EQ(out, "");
}

TEST_F(PrivateProfileTest, TheFirstOfTwoKeysOrSectionsWins) {
  TempFolder::write(ini_, "[A]\nk=1\nK=2\n[B]\nk=b\n[a]\nk=3\nonly=4\n");
  EXPECT_EQ(get("A", "k"), "1");
  EXPECT_EQ(get("A", "only", "none"), "none");  // the second [a] is not read
  EXPECT_EQ(get(nullopt, nullopt), nulList({"A", "B"}));
  EXPECT_EQ(get("a", nullopt), nulList({"k"}));
}

TEST_F(PrivateProfileTest, ListsNamesEachFollowedByANul) {
  TempFolder::write(ini_, kWindowsIni);
  EXPECT_EQ(get(nullopt, nullopt), nulList({"Api Next", "Ligação"}));
  EXPECT_EQ(get("Api Next", nullopt), nulList({"Login", "password", "Empresa"}));
  EXPECT_EQ(get("Empty", nullopt, "dflt"), "dflt");
  std::string out;
  // A list that does not fit is cut to size - 2 characters.
  EXPECT_EQ(getPrivateProfileString("Api Next", nullopt, "", out, 10, ini_), 8u);
  EXPECT_EQ(out, std::string("Login\0pa", 8));
}

TEST_F(PrivateProfileTest, MalformedFilesAreReadWithoutHarm) {
  std::string junk = "no section=1\nline without equals\n[broken\n=novalue\n[S]\n";
  junk += std::string("bin\0ary=a\0b\n", 12);
  junk += "\xff\xfe\x01\x02=\x80\n";
  junk += "big=" + std::string(10 * 1024 * 1024, 'z') + "\n";
  junk += "after=ok";
  TempFolder::write(ini_, junk);
  EXPECT_EQ(get("S", "after"), "ok");
  EXPECT_EQ(get("S", "big").size(), 254u);
  EXPECT_EQ(get("S", "no section", "d"), "d");
  EXPECT_EQ(get("S", "line without equals", "d"), "d");
  EXPECT_EQ(get("S", std::string_view("bin\0ary", 7)), "a");  // a value ends at a NUL
  EXPECT_EQ(get(nullopt, nullopt), nulList({"S"}));
  // Not UTF-8, so read as Windows-1252; a name ends at a NUL.
  EXPECT_EQ(get("S", nullopt, "", 8192), nulList({"bin", "ÿþ\x01\x02", "big", "after"}));
  TempFolder::write(ini_, std::string(1000, '\0'));
  EXPECT_EQ(get("S", "k", "d"), "d");
}

TEST_F(PrivateProfileTest, APathThatIsNoFileGivesTheDefaultWithoutWaiting) {
  ASSERT_EQ(::mkfifo(ini_.c_str(), 0644), 0);  // a pipe nobody writes to
  EXPECT_EQ(get("S", "k", "d"), "d");
  EXPECT_EQ(get(nullopt, nullopt, "d"), "d");
  std::filesystem::remove(ini_);
  std::filesystem::create_directory(ini_);
  EXPECT_EQ(get("S", "k", "d"), "d");
}

TEST_F(PrivateProfileTest, WritingAKeyKeepsEveryOtherLineByteForByte) {
  TempFolder::write(ini_, kWindowsIni);
  ASSERT_EQ(writePrivateProfileString("api next", "Login", "gestor", ini_), 1);
  ASSERT_EQ(writePrivateProfileString("Ligação", "User", "sa", ini_), 1);
  ASSERT_EQ(writePrivateProfileString("Nova Secção", "Chave", "Valor é", ini_), 1);
  std::string expected =
      "[Api Next]\r\n"
      "Login=gestor\r\n"
      "password = segredo  \r\n"
      "; the ERP company\r\n"
      "Empresa=\"VALTERO\"\r\n"
      "\r\n"
      "[Liga\xE7\xE3o]\r\n"
      "Servidor=srv\\sql\r\n"
      "BaseDados=Emp\xE9sa\r\n"
      "User=sa\r\n"
      "[Nova Sec\xE7\xE3o]\r\n"
      "Chave=Valor \xE9\r\n";
  EXPECT_EQ(TempFolder::read(ini_), expected);  // still Windows-1252, still CR LF
}

TEST_F(PrivateProfileTest, KeysGoAfterTheSectionsLastEntryAndLineEndsAreKept) {
  TempFolder::write(ini_, "[A]\nx=1\n\n[B]\ny=2");
  ASSERT_EQ(writePrivateProfileString("A", "z", "3", ini_), 1);
  ASSERT_EQ(writePrivateProfileString("B", "w", "4", ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n");
}

TEST_F(PrivateProfileTest, NewFilesAreUtf8AndUtf8FilesStayUtf8) {
  ASSERT_EQ(writePrivateProfileString("Ligação", "Servidor", "sérvidor", ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "[Ligação]\r\nServidor=sérvidor\r\n");
  TempFolder::write(ini_, "\xEF\xBB\xBF[S]\nk=ç\n");
  ASSERT_EQ(writePrivateProfileString("S", "k", "日本", ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "\xEF\xBB\xBF[S]\nk=日本\n");
}

TEST_F(PrivateProfileTest, DeletingKeysAndSectionsKeepsTheRest) {
  TempFolder::write(ini_, kWindowsIni);
  ASSERT_EQ(writePrivateProfileString("Api Next", "PASSWORD", nullopt, ini_), 1);
  ASSERT_EQ(writePrivateProfileString("LIGAÇÃO", nullopt, nullopt, ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_),
            "[Api Next]\r\n"
            "Login=admin\r\n"
            "; the ERP company\r\n"
            "Empresa=\"VALTERO\"\r\n"
            "\r\n");
  // Deleting what is not there succeeds and creates nothing.
  std::filesystem::path other = folder_ / "other.ini";
  EXPECT_EQ(writePrivateProfileString("S", "k", nullopt, other), 1);
  EXPECT_EQ(writePrivateProfileString("S", nullopt, nullopt, other), 1);
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(PrivateProfileTest, DeletingAKeyOrSectionRemovesEveryCopy) {
  TempFolder::write(ini_, "[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\n");
  ASSERT_EQ(writePrivateProfileString("A", "k", nullopt, ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "[A]\n[B]\nk=3\n[a]\n");
  ASSERT_EQ(writePrivateProfileString("a", nullopt, nullopt, ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "[B]\nk=3\n");
}

TEST_F(PrivateProfileTest, ReplacingASectionKeepsTheRest) {
  TempFolder::write(ini_, "; top\r\n[A]\r\nold=1\r\n; note\r\nold2=2\r\n\r\n[B]\r\ny=2\r\n[A]\r\ndup=1\r\n");
  ASSERT_EQ(writePrivateProfileSection("a", std::string_view("n1=v1\0n2 = v2\0\0", 15), ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "; top\r\n[A]\r\nn1=v1\r\nn2 = v2\r\n\r\n[B]\r\ny=2\r\n");
  ASSERT_EQ(writePrivateProfileSection("B", "", ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "; top\r\n[A]\r\nn1=v1\r\nn2 = v2\r\n\r\n[B]\r\n");
  ASSERT_EQ(writePrivateProfileSection("C", std::string_view("k=v\0", 4), ini_), 1);
  EXPECT_EQ(TempFolder::read(ini_), "; top\r\n[A]\r\nn1=v1\r\nn2 = v2\r\n\r\n[B]\r\n[C]\r\nk=v\r\n");
}

TEST_F(PrivateProfileTest, BadInputIsRefusedAndChangesNothing) {
  TempFolder::write(ini_, kWindowsIni);
  struct Case {
    std::optional<std::string_view> section, key, value;
  } cases[] = {
      {nullopt, "k", "v"},    {"", "k", "v"},
      {"S]", "k", "v"},       {"S\n[X", "k", "v"},
      {"S", "", "v"},         {"S", "a=b", "v"},
      {"S", "[X]", "v"},      {"S", ";k", "v"},
      {"S", "k", "v\r\n[X]"}, {"S", "k", std::string_view("a\0b", 3)},
      {"S", "k", "\xff"},     {"Api Next", "Login", "日本"},  // Windows-1252 has no place for it
  };
  for (const auto& c : cases) {
    EXPECT_EQ(writePrivateProfileString(c.section, c.key, c.value, ini_), 0)
        << c.section.value_or("(null)") << "/" << c.key.value_or("(null)");
  }
  EXPECT_EQ(writePrivateProfileSection("S", "no equals sign", ini_), 0);
  EXPECT_EQ(writePrivateProfileSection("S", std::string_view("k=1\0=2", 6), ini_), 0);
  EXPECT_EQ(TempFolder::read(ini_), kWindowsIni);
}

TEST_F(PrivateProfileTest, AnUnwritableFolderOrFileAnswersZeroAndKeepsTheFile) {
  TempFolder::write(ini_, kWindowsIni);
  ::chmod(ini_.c_str(), 0644);
  ::chmod(folder_.path().c_str(), 0555);
  int code = quill::testing::runUnprivileged([&] {
    int failures = 0;
    failures += writePrivateProfileString("Api Next", "Login", "x", ini_) != 0;
    failures += writePrivateProfileString("Api Next", nullopt, nullopt, ini_) != 0;
    failures += writePrivateProfileSection("Api Next", "a=b", ini_) != 0;
    std::string out;
    getPrivateProfileString("Api Next", "Login", "", out, 255, ini_);
    failures += out != "admin";  // reading still works
    return failures;
  });
  EXPECT_EQ(code, 0);
  ::chmod(folder_.path().c_str(), 0755);
  ::chmod(ini_.c_str(), 0444);
  code = quill::testing::runUnprivileged([&] { return writePrivateProfileString("Api Next", "Login", "x", ini_); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(TempFolder::read(ini_), kWindowsIni);
  EXPECT_EQ(writePrivateProfileString("S", "k", "v", folder_ / "missing" / "x.ini"), 0);
  std::filesystem::create_directory(folder_ / "dir.ini");
  EXPECT_EQ(writePrivateProfileString("S", "k", "v", folder_ / "dir.ini"), 0);
  // Nothing is left behind in the folder by the failed writes.
  int files = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder_.path())) ++files;
  EXPECT_EQ(files, 2);
}

TEST_F(PrivateProfileTest, AWriteKeepsTheFilesPermissions) {
  TempFolder::write(ini_, "[S]\nk=1\n");
  ::chmod(ini_.c_str(), 0600);
  ASSERT_EQ(writePrivateProfileString("S", "k", "2", ini_), 1);
  struct stat info {};
  ASSERT_EQ(::stat(ini_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace quill::winapi
