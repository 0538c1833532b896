// The bridge as a process: it ends when released, and its death during a
// call is an error for the caller, not a hang, with the database intact.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "tests/bridge/BridgeTest.h"
#include "tests/platform/automation/remote/TestObjects.h"

namespace quill::bridgetest {
namespace {

using namespace std::chrono_literals;

TEST_F(BridgeTest, ReleasingTheObjectEndsTheBridgeProcess) {
  start();
  auto processes = bridgeProcesses();
  ASSERT_EQ(processes.size(), 1u);
  late::call(bridge_, "Terminar");
  bridge_.reset();
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    gone = processGone(processes[0]);
    if (!gone) std::this_thread::sleep_for(10ms);
  }
  EXPECT_TRUE(gone);
}

TEST_F(BridgeTest, ABridgeKilledDuringACallGives462WithinASecondAndTheDocumentIsIntact) {
  start();
  auto processes = bridgeProcesses();
  ASSERT_EQ(processes.size(), 1u);
  const auto& doc = demo::kInvoiceInPreparation;
  const auto before = document(doc);
  // The bridge dies while it is weighing the document's lines, waiting for
  // its own query that runs here.
  recorder_->beforeEachCall([pid = processes[0]] { ::kill(pid, SIGKILL); });

  const auto started = std::chrono::steady_clock::now();
  auto error = errorOf([&] { abonoDeFrete(doc, demo::kAllowancePerTonne); });
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(error.number(), vberr::ServerUnavailable);
  EXPECT_LT(elapsed, 1s);
  EXPECT_EQ(errorOf([&] { late::get(bridge_, "MoedaNacional"); }).number(), vberr::ServerUnavailable);

  EXPECT_EQ(document(doc), before);
  EXPECT_EQ(company_->rows("PRAGMA integrity_check"), (DemoCompanyCopy::Rows{{"ok"}}));
}

// A recordset whose bytes nest 150000 lists deep, sent to the bridge as the
// answer to its article query: the bridge answers an error naming it and
// serves on; before, such bytes ended the process.
TEST_F(BridgeTest, ARecordsetNestedTooDeepIsAnErrorAndTheBridgeServesOn) {
  start();
  auto processes = bridgeProcesses();
  ASSERT_EQ(processes.size(), 1u);
  const auto& doc = demo::kInvoiceInPreparation;
  const auto before = document(doc);
  recorder_->afterEachCall([](std::string_view member, std::span<Variant> args) {
    if (equalsNoCase(member, "OpenRecordset"))
      args[2] = Variant(DispatchPtr(std::make_shared<remotetest::RawByValue>(sql::Recordset::kByValueType,
                                                                             std::string(150000, '\x91') + "\xc0")));
  });
  auto error = errorOf([&] { abonoDeFrete(doc, demo::kAllowancePerTonne); });
  EXPECT_EQ(error.source(), "Processa Abono de Frete");
  EXPECT_NE(error.description().find("The recordset data cannot be read"), std::string::npos) << error.description();

  recorder_->afterEachCall({});
  EXPECT_FALSE(processGone(processes[0]));
  EXPECT_EQ(vb::CStr(late::get(bridge_, "MoedaNacional")), demo::kNationalCurrency);
  EXPECT_EQ(document(doc), before);
}

}  // namespace
}  // namespace quill::bridgetest
