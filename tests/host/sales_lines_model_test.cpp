// The lines grid's model: consistent under QAbstractItemModelTester through
// edits, insertions, removals, saving and opening; edits go through the
// editor (and so through the hooks).

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "host/SalesDocumentEditor.h"
#include "host/SalesLinesModel.h"
#include "platform/vb/OleDate.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

class SalesLinesModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    session = sessionWith(ui, fake, processFolder() / (name + "-extension"));
    ASSERT_TRUE(session->open(demoCompany(name)));
    editor = std::make_unique<SalesDocumentEditor>(session->editorServices());
    ASSERT_TRUE(editor->newDocument(demo::kInvoiceType, demo::kUnsignedSeries, *vb::parseIsoText(demo::kDocumentDate)));
    ASSERT_TRUE(editor->setClient(demo::kRetailClient));
    model = std::make_unique<SalesLinesModel>(*editor);
    tester =
        std::make_unique<QAbstractItemModelTester>(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  }

  void TearDown() override {
    tester.reset();
    model.reset();
  }

  QModelIndex cell(int row, int column) { return model->index(row, column); }
  QString text(int row, int column) { return model->data(cell(row, column)).toString(); }

  // A line entered through the grid as a user types it.
  int typeLine(const char* article, const char* quantity) {
    int row = model->rowCount();
    EXPECT_TRUE(model->insertRows(row, 1));
    EXPECT_TRUE(model->setData(cell(row, SalesLinesModel::Article), article));
    EXPECT_TRUE(model->setData(cell(row, SalesLinesModel::Quantity), quantity));
    return row;
  }

  TestUi ui;
  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  std::unique_ptr<HostCompanySession> session;
  std::unique_ptr<SalesDocumentEditor> editor;
  std::unique_ptr<SalesLinesModel> model;
  std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(SalesLinesModelTest, StaysConsistentThroughEditingSavingAndOpening) {
  typeLine("ARR001", "10");
  typeLine("RAV001", "2,5");
  EXPECT_EQ(model->rowCount(), 2);
  EXPECT_EQ(text(1, SalesLinesModel::Quantity), "2,5");
  EXPECT_TRUE(model->removeRows(0, 1));
  EXPECT_EQ(text(0, SalesLinesModel::Article), "RAV001");
  typeLine("MIL001", "4");
  ASSERT_TRUE(editor->save().saved);
  EXPECT_EQ(model->rowCount(), 2);
  DocumentKey key = editor->document().header.key;
  editor->newDocument();
  EXPECT_EQ(model->rowCount(), 0);
  ASSERT_TRUE(editor->open(key));
  EXPECT_EQ(model->rowCount(), 2);
  EXPECT_EQ(text(1, SalesLinesModel::Article), "MIL001");
}

TEST_F(SalesLinesModelTest, EditGoesThroughTheHookAndTheWholeRowChanges) {
  int row = typeLine("ARR001", "10");
  fake->on("ValidatePrecoUnit", [](std::span<Variant> a) {
    late::let(late::get(a[0].objectValue(), "Linha").objectValue(), "Desconto", 4.0);
    return Variant();
  });
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  ASSERT_TRUE(model->setData(cell(row, SalesLinesModel::UnitPrice), "2"));
  EXPECT_EQ(fake->callsOf("ValidatePrecoUnit").size(), 1u);
  ASSERT_EQ(changed.count(), 1);
  auto args = changed.takeFirst();
  EXPECT_EQ(args[0].toModelIndex(), cell(row, 0));
  EXPECT_EQ(args[1].toModelIndex(), cell(row, SalesLinesModel::ColumnCount - 1));
  auto roles = args[2].value<QList<int>>();
  EXPECT_TRUE(roles.contains(Qt::DisplayRole));
  EXPECT_TRUE(roles.contains(Qt::EditRole));
  EXPECT_EQ(text(row, SalesLinesModel::Discount), "4");
  EXPECT_EQ(text(row, SalesLinesModel::Total), "19,20");  // 10 × 2 less 4 %
  // Typing the same value again asks nothing.
  ASSERT_TRUE(model->setData(cell(row, SalesLinesModel::UnitPrice), "2"));
  EXPECT_EQ(fake->callsOf("ValidatePrecoUnit").size(), 1u);
}

TEST_F(SalesLinesModelTest, RefusedEditLeavesTheCellAndSaysWhoRefused) {
  int row = typeLine("ARR001", "10");
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  EXPECT_FALSE(model->setData(cell(row, SalesLinesModel::Quantity), "muitos"));
  EXPECT_EQ(text(row, SalesLinesModel::Quantity), "10");
  EXPECT_EQ(ui.boxesWith("não é um número").size(), 1u);

  fake->on("ValidateQuantidade", [](std::span<Variant> a) {
    a[4] = Variant(true);
    return Variant();
  });
  QSignalSpy refused(model.get(), &SalesLinesModel::editRefusedByExtension);
  EXPECT_FALSE(model->setData(cell(row, SalesLinesModel::Quantity), "12"));
  EXPECT_EQ(text(row, SalesLinesModel::Quantity), "10");
  EXPECT_EQ(refused.count(), 1);
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(SalesLinesModelTest, OnlyTheFieldsOfArticleLinesAreEditable) {
  int row = typeLine("ARR001", "1");
  for (int column : {SalesLinesModel::Article, SalesLinesModel::Unit, SalesLinesModel::Quantity,
                     SalesLinesModel::UnitPrice, SalesLinesModel::Discount, SalesLinesModel::DiscountValue})
    EXPECT_TRUE(model->flags(cell(row, column)) & Qt::ItemIsEditable) << column;
  EXPECT_FALSE(model->flags(cell(row, SalesLinesModel::Description)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->flags(cell(row, SalesLinesModel::Total)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->setData(cell(row, SalesLinesModel::Total), "5"));
  EXPECT_FALSE(model->setData(cell(row, SalesLinesModel::Quantity), "5", Qt::DisplayRole));
  // Out of range: nothing, no crash.
  EXPECT_FALSE(model->setData(model->index(7, 0), "X"));
  EXPECT_FALSE(model->data(model->index(7, 0)).isValid());
}

TEST_F(SalesLinesModelTest, RowsAreAddedAtTheEndAndRemovedOnlyWithinTheTable) {
  typeLine("ARR001", "1");
  EXPECT_FALSE(model->insertRows(0, 1));
  EXPECT_FALSE(model->insertRows(1, 0));
  EXPECT_FALSE(model->removeRows(1, 1));
  EXPECT_FALSE(model->removeRows(-1, 1));
  EXPECT_TRUE(model->insertRows(1, 2));
  EXPECT_EQ(model->rowCount(), 3);
  EXPECT_TRUE(model->removeRows(1, 2));
  EXPECT_EQ(model->rowCount(), 1);
}

}  // namespace
}  // namespace quill::host
