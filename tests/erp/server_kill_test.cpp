// A database server stopped at once while a document is being saved: after
// it starts again the document is whole or absent, and the connection that
// was saving works again. The test runs its own server (the shared test
// server must not be stopped under the other tests).

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <thread>

#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "erp/DocumentStore.h"
#include "erp/ServerCompany.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::erp {
namespace {

namespace fs = std::filesystem;

constexpr int kLines = 200;

// The server of this test: started in a folder of its own, stopped and
// removed at the end.
class OwnServer {
 public:
  OwnServer() : folder_(fs::temp_directory_path() / fmt::format("quill-kill-{}", static_cast<long>(::getpid()))) {
    fs::create_directories(folder_);
    if (!script("start")) return;
    std::ifstream in(folder_ / "test-server.txt");
    std::string line;
    if (!std::getline(in, line)) return;
    auto value = [&](const std::string& key) {
      auto at = line.find(key + "=") + key.size() + 1;
      return line.substr(at, line.find(';', at) - at);
    };
    address_ = sql::ServerAddress::fromDataSource(value("Data Source"));
    address_->user = value("User ID");
    address_->password = value("Password");
    address_->database = "quill_kill";
  }
  ~OwnServer() {
    script("stop");
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  const std::optional<sql::ServerAddress>& address() const { return address_; }
  // crash: every server process ends at once; resume: it starts again on its data.
  bool script(const char* action) const {
    return std::system(fmt::format("'{}' {} '{}' >/dev/null 2>&1", QUILL_TEST_SERVER_SCRIPT, action, folder_.string())
                           .c_str()) == 0;
  }

 private:
  fs::path folder_;
  std::optional<sql::ServerAddress> address_;
};

HeaderValues newDocument() {
  HeaderValues h;
  h.key = {std::string(demo::kInvoiceType), demo::kUnsignedSeries, 0, demo::kDocumentYear};
  h.date = vb::parseIsoText(demo::kDocumentDate);
  h.dueDate = h.date;
  h.client = std::string(demo::kRetailClient);
  h.currency = std::string(demo::kNationalCurrency);
  h.seller = "V01";
  h.classification = {4, 2, 2, 1, 2, 1};
  h.inPreparation = true;
  return h;
}

std::vector<LineValues> linesMarked(const std::string& marker) {
  std::vector<LineValues> lines(kLines);
  for (auto& l : lines) {
    l.article = std::string(demo::kOrdinaryArticle);
    l.description = marker;
    l.unit = "KG";
    l.quantity = 2;
    l.unitPrice = 1.5;
    l.vatRate = 6;
  }
  return lines;
}

std::vector<LineValues*> pointers(std::vector<LineValues>& lines) {
  std::vector<LineValues*> p;
  for (auto& l : lines) p.push_back(&l);
  return p;
}

class ServerKill : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<OwnServer>();
    if (!server_->address()) return;
    fs::path erp = fs::temp_directory_path() / fmt::format("quill-kill-erp-{}", static_cast<long>(::getpid()));
    auto company = DemoCompany::create(erp, DemoOptions{});
    ServerCompany::copy(company.databaseFile(), *server_->address());
    fs::remove_all(erp);
    // Each line takes a few milliseconds to write, so that the server can be
    // stopped while a document is half written.
    auto db = sql::Connection::open(*server_->address());
    db->execute(
        "CREATE FUNCTION quill_slow_line() RETURNS trigger LANGUAGE plpgsql AS "
        "'BEGIN PERFORM pg_sleep(0.004); RETURN NEW; END'");
    db->execute(
        "CREATE TRIGGER quill_slow_line BEFORE INSERT ON DOCGCLIN FOR EACH ROW EXECUTE FUNCTION quill_slow_line()");
  }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    if (server_->address()) return;
    const char* required = std::getenv("QUILL_REQUIRE_SERVER");
    if (required && std::string_view(required) == "1") FAIL() << "the test's own server did not start";
    GTEST_SKIP() << "PostgreSQL is not installed";
  }

  // The lines stored with the marker, and the documents they belong to.
  static std::pair<int, int> stored(const std::string& marker) {
    auto db = sql::Connection::open(*server_->address());
    auto rs =
        db->query("SELECT count(*) AS LINHAS, count(DISTINCT NNUMDOC) AS DOCUMENTOS FROM DOCGCLIN WHERE DESCR = ?",
                  {Variant(marker)});
    return {vb::CLng(rs->value("LINHAS")), vb::CLng(rs->value("DOCUMENTOS"))};
  }

  static std::unique_ptr<OwnServer> server_;
};
std::unique_ptr<OwnServer> ServerKill::server_;

TEST_F(ServerKill, AServerStoppedInTheMiddleOfASaveKeepsTheDocumentWholeOrAbsent) {
  auto db = sql::Connection::open(*server_->address());
  DocumentStore store(*db);
  // Stopped a third of the way through (about 0.8 s of writing), then after
  // the save ended.
  for (auto [round, stopAfter] : {std::pair{0, 300}, std::pair{1, 500}, std::pair{2, 4000}}) {
    const std::string marker = fmt::format("interrompido {}", round);
    HeaderValues header = newDocument();
    auto lines = linesMarked(marker);
    bool saved = false;
    std::string error;
    std::thread saving([&] {
      try {
        store.save(header, pointers(lines), DocumentStore::Write::New);
        saved = true;
      } catch (const AutomationError& e) {
        error = e.description();
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(stopAfter));
    ASSERT_TRUE(server_->script("crash"));
    saving.join();
    ASSERT_TRUE(server_->script("resume"));

    auto [storedLines, documents] = stored(marker);
    if (stopAfter < 1000) {
      EXPECT_FALSE(saved) << round << ": the save ended before the server stopped";
      EXPECT_NE(error, "") << round;
      EXPECT_EQ(storedLines, 0) << round << ": half a document was kept";
      EXPECT_EQ(documents, 0) << round;
      EXPECT_EQ(header.key.number, 0) << round << ": the caller's key moved";
    } else {
      EXPECT_TRUE(saved) << round << ": " << error;
      EXPECT_EQ(storedLines, kLines) << round;
      EXPECT_EQ(documents, 1) << round;
    }
  }

  // The connection that was saving reaches the server again and saves.
  HeaderValues header = newDocument();
  auto lines = linesMarked("depois");
  ASSERT_NO_THROW(store.save(header, pointers(lines), DocumentStore::Write::New));
  EXPECT_EQ(stored("depois"), (std::pair{kLines, 1}));
}

}  // namespace
}  // namespace quill::erp
