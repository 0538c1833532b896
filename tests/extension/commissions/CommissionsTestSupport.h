#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "erp/CompanyEntry.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Connection.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill::testing {

// Every row of a query on a company, each value as text ("" for Null).
std::vector<std::vector<std::string>> rowsOf(const erp::CompanyEntry& company, const std::string& sql);

// Runs statements on a company outside the extension (a test's setup).
void runOn(const erp::CompanyEntry& company, const std::string& sql);

// Another user holding the company's write lock until it goes.
class HeldWriteLock {
 public:
  explicit HeldWriteLock(const erp::CompanyEntry& company);
  ~HeldWriteLock();
  HeldWriteLock(const HeldWriteLock&) = delete;
  HeldWriteLock& operator=(const HeldWriteLock&) = delete;

 private:
  std::shared_ptr<sql::Connection> db_;
};

// Reports print to PDF files in a folder of the test's own while it lives.
class PdfFolder {
 public:
  PdfFolder();
  ~PdfFolder();
  const std::filesystem::path& path() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

// An editor on a memory view over a copy of the demo company of the test's
// own; a writer that finds the database locked gives up at once.
template <typename Form>
class EditorTest : public ::testing::Test {
 protected:
  explicit EditorTest(sql::testing::Backend backend = sql::testing::Backend::Embedded) : copy(backend) {}

  void SetUp() override {
    if (!copy.available()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
    testApplication();
    data = copy.open();
    data->GetConnection()->setBusyTimeout(std::chrono::milliseconds(50));
    form = std::make_unique<Form>(ui, memoryView(Form::controls()));
    form->setDataAccess(data);
  }

  // Opens the editor; `user` plays it, then, when it is still shown, it is
  // left with `closeButton`.
  void openWith(const char* closeButton, std::function<void(ui::MemoryFormView&)> user) {
    memoryOf(*form).whenShown([closeButton, user = std::move(user)](ui::MemoryFormView& v) {
      user(v);
      if (v.isShown()) {
        EXPECT_TRUE(v.userClick(closeButton));
      }
    });
    form->Editar(Variant(std::int32_t{0}));
  }

  DemoCopy copy;
  std::shared_ptr<DataAccess> data;
  ui::ScriptedUiServices ui;
  std::unique_ptr<Form> form;
};

}  // namespace quill::testing
