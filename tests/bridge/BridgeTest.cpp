#include "tests/bridge/BridgeTest.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "bridge/BridgeLog.h"
#include "erp/api/ApiLog.h"
#include "extension/components/DataAccess.h"
#include "platform/automation/remote/CreateObject.h"
#include "tests/support/BridgeStart.h"
#include "tests/support/ChildProcesses.h"

namespace quill::bridgetest {

namespace fs = std::filesystem;

namespace {
std::string fileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

void BridgeTest::SetUp() {
  company_ = std::make_unique<DemoCompanyCopy>(backend_);
  if (!company_->available()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
  dataAccess_ = std::make_shared<DataAccess>();
  ASSERT_TRUE(dataAccess_->OpenConnection(company_->connectionString())) << dataAccess_->lastError();
  recorder_ = std::make_shared<RecordingDataAccess>(dataAccess_);
  bridge_ = testing::createBridgeIn(company_->folder());
}

void BridgeTest::TearDown() {
  if (bridge_) {
    try {
      late::call(bridge_, "Terminar");
    } catch (const AutomationError&) {
      // a test may have ended the server
    }
  }
  bridge_.reset();
  recorder_.reset();
  if (dataAccess_) dataAccess_->CloseConnection();
  dataAccess_.reset();
  company_.reset();
}

Variant BridgeTest::iniciar(std::string_view company, std::string_view password) {
  const std::string folder = company_->folder().string();
  return late::call(bridge_, "Iniciar",
                    {Variant(folder), Variant(folder), Variant(company), Variant(demo::kLogin), Variant(password)});
}

void BridgeTest::start() {
  ASSERT_EQ(iniciar(), Variant(true));
  late::set(bridge_, "DataAccess", recorder_);
}

void BridgeTest::abonoDeFrete(const demo::KnownDocument& key, double perTonne, std::string_view article) {
  std::vector<Variant> args{Variant(key.type),
                            Variant(std::int32_t{key.number}),
                            Variant(static_cast<std::int16_t>(key.series)),
                            Variant(static_cast<std::int16_t>(key.year)),
                            Variant(perTonne),
                            Variant(article)};
  late::callRef(bridge_, "AbonoDeFrete", args);
}

void BridgeTest::alteraPreco(std::string_view article, std::string_view currency, std::int32_t line, Date start,
                             double price, double priceWithVat) {
  late::call(bridge_, "AlteraPreco",
             {Variant(article), Variant(currency), Variant(line), Variant(start), Variant(Date{}), Variant(price),
              Variant(0.0), Variant(priceWithVat), Variant(0.0)});
}

DemoCompanyCopy::Rows BridgeTest::document(const demo::KnownDocument& key) const {
  return company_->document(key.type, key.series, key.number, key.year);
}

std::string BridgeTest::bridgeLog() const { return fileText(company_->folder() / kBridgeLogFileName); }

std::string BridgeTest::apiLog() const { return fileText(company_->folder() / erpapi::ApiLog::kFileName); }

AutomationError errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << "no error was raised";
  return AutomationError(0, "", "");
}

std::vector<pid_t> bridgeProcesses() { return testing::childProcesses("quillbridge"); }

bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace quill::bridgetest
