#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "platform/sql/Recordset.h"
#include "platform/ui/CodeField.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/WidgetFormWindow.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/RegionalSettings.h"
#include "tests/support/TestApplication.h"

namespace quill::ui {
namespace {

QApplication& app() { return testing::testApplication(); }

// A criteria window in miniature: two code fields, a confirm and a cancel
// button, shown and active so that focus moves as it does for a user.
struct Window {
  QApplication& application = app();  // before any widget
  QDialog dialog;
  CodeField* first = new CodeField(&dialog);
  CodeField* last = new CodeField(&dialog);
  QPushButton* confirm = new QPushButton("Confirma", &dialog);
  QPushButton* cancel = new QPushButton("Cancela", &dialog);
  int confirmed = 0, cancelled = 0;

  Window() {
    auto* layout = new QVBoxLayout(&dialog);
    for (QWidget* w : std::initializer_list<QWidget*>{first, last, confirm, cancel}) layout->addWidget(w);
    cancel->setProperty(CodeField::kCausesValidation, false);
    QObject::connect(confirm, &QPushButton::clicked, [this] { ++confirmed; });
    QObject::connect(cancel, &QPushButton::clicked, [this] { ++cancelled; });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    first->setFocus();
    QApplication::processEvents();
  }
};

TEST(CodeField, EnterMovesOnAsTabAndCtrlLAsksTheLookupWithoutTypingTheKey) {
  Window w;
  int lookups = 0;
  w.first->setLookup([&](CodeField& field) {
    ++lookups;
    field.setText("V01");
  });
  QTest::keyClicks(w.first, "ab");
  QTest::keyClick(w.first, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(lookups, 1);
  EXPECT_EQ(w.first->text(), "V01");  // no "l" typed after the pick
  QTest::keyClick(w.first, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), w.last);
  // Without the Enter rule the key is the field's own.
  w.last->setEnterMovesOn(false);
  QTest::keyClick(w.last, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), w.last);
}

TEST(CodeField, ARefusedValueKeepsTheFocusAndTheConfirmButtonButNotCancel) {
  Window w;
  int validations = 0;
  w.first->setValidator([&](CodeField& field) {
    ++validations;
    return field.text() != "abc";
  });
  QTest::keyClicks(w.first, "abc");
  QTest::keyClick(w.first, Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(QApplication::focusWidget(), w.first);
  EXPECT_TRUE(w.first->holdsFocus());

  // Clicking the confirm button does not act on the refused value.
  QTest::mouseClick(w.confirm, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(w.confirmed, 0);
  EXPECT_EQ(QApplication::focusWidget(), w.first);

  // Cancel takes the focus without validation and acts.
  const int before = validations;
  QTest::mouseClick(w.cancel, Qt::LeftButton);
  EXPECT_EQ(w.cancelled, 1);
  EXPECT_EQ(validations, before);

  // Once corrected, the field lets the focus go and the button acts.
  w.first->setFocus();
  w.first->setText("12");
  QTest::mouseClick(w.confirm, Qt::LeftButton);
  EXPECT_EQ(w.confirmed, 1);
  EXPECT_FALSE(w.first->holdsFocus());
}

TEST(DatePicker, ReadsBackInTheRegionalShortDateAndTellsUserChangesApart) {
  app();
  DatePicker picker;
  int userChanges = 0;
  QObject::connect(&picker, &DatePicker::userChanged, [&] { ++userChanges; });
  EXPECT_TRUE(picker.setText("05-03-2026"));
  EXPECT_EQ(picker.text(), "05-03-2026");
  EXPECT_FALSE(picker.setText("31-04-2026"));  // no such day: unchanged
  EXPECT_EQ(picker.text(), "05-03-2026");
  picker.setToday();
  EXPECT_EQ(userChanges, 0);
  picker.pick(vb::makeDate(2027, 1, 2));
  EXPECT_EQ(userChanges, 1);
  EXPECT_EQ(picker.text(), "02-01-2027");
}

std::shared_ptr<sql::Recordset> prices() {
  auto rs = sql::Recordset::create({{"VENDEDOR", sql::DataType::VarWChar},
                                    {"LINPRC", sql::DataType::SmallInt},
                                    {"CODIGO", sql::DataType::VarWChar},
                                    {"PVP", sql::DataType::Double},
                                    {"PVPNEW", sql::DataType::Double}});
  auto row = [&](const char* seller, int line, const char* article, double price) {
    rs->appendRow(
        {Variant(seller), Variant(static_cast<std::int16_t>(line)), Variant(article), Variant(price), Variant(price)});
  };
  row("V01", 2, "A1", 1.5);
  row("V02", 1, "A2", 1234.5);
  row("V01", 1, "A3", 0.25);
  row("V01", 2, "A4", 2.0);
  return rs;
}

TEST(RecordsetTableModel, ShowsFieldsWithFormatsMarksAndSurvivesEveryChangeUnderTheModelTester) {
  app();
  RecordsetTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  auto rs = prices();
  model.setRecordset(rs);
  model.column("PVP").format = "#,###.###0";
  model.column("PVPNEW").caption = "PVP Novo";
  model.insertMarkColumn();
  model.columnsChanged();
  ASSERT_EQ(model.columnCount(), 6);
  EXPECT_EQ(model.headerData(5, Qt::Horizontal).toString(), "PVP Novo");
  EXPECT_EQ(model.displayText(1, 4), "1.234,5000");
  EXPECT_EQ(model.data(model.index(1, 4), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
            Qt::AlignRight);

  model.setMarked(2, true);
  rs->addNew();  // a row at the end: marks keep their rows
  rs->setValue("CODIGO", Variant("A5"));
  rs->update();
  EXPECT_EQ(model.rowCount(), 5);
  EXPECT_TRUE(model.isMarked(2));
  rs->setAbsolutePosition(1);
  rs->deleteCurrent();  // the first row goes: the mark moves up with its row
  EXPECT_TRUE(model.isMarked(1));
  EXPECT_EQ(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
  rs->setSort("CODIGO DESC");  // a new view: marks go
  EXPECT_FALSE(model.isMarked(1));
  EXPECT_EQ(model.displayText(0, 3), "A5");
  rs->close();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST(RecordsetTableModel, GroupsOnTwoLevelsUnderHeadingsInTheOrderGroupsFirstCome) {
  app();
  RecordsetTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  auto rs = prices();
  model.setRecordset(rs);
  model.setGrouping(
      {{"VENDEDOR", [](const sql::Recordset& r, std::size_t p) { return r.valueAt(p, 0).stringValue() + "-Vendedor"; }},
       {"LINPRC", nullptr}});
  // V01 (line 2: A1, A4; line 1: A3), then V02 (line 1: A2).
  std::vector<std::string> shown;
  for (int r = 0; r < model.rowCount(); ++r)
    shown.push_back(model.isHeading(r)
                        ? std::to_string(model.headingLevel(r)) + ":" + model.headingText(r).toStdString()
                        : model.displayText(r, 2).toStdString());
  EXPECT_EQ(shown, (std::vector<std::string>{"0:V01-Vendedor", "1:2", "A1", "A4", "1:1", "A3", "0:V02-Vendedor", "1:1",
                                             "A2"}));
  EXPECT_FALSE(model.positionOf(0));
  EXPECT_EQ(model.positionOf(3), std::optional<std::size_t>(3));  // A4
  EXPECT_EQ(model.rowOf(1), 8);                                   // A2
  EXPECT_EQ(model.flags(model.index(0, 2)), Qt::ItemIsEnabled);   // headings are not edited
  // Marking all marks data rows only.
  model.setAllMarked(true);
  EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole), QVariant());
  // A row added later joins its group.
  rs->appendRow({Variant("V02"), Variant(std::int16_t{1}), Variant("A9"), Variant(1.0), Variant(1.0)});
  EXPECT_EQ(model.rowCount(), 10);
  EXPECT_EQ(model.displayText(9, 2), "A9");
}

TEST(RecordsetTableModel, AnEditIsConvertedByTheFieldTypeAndCanBeRefusedOrAdjusted) {
  app();
  RecordsetTableModel model;
  auto rs = prices();
  model.setRecordset(rs);
  model.column("CODIGO").readOnly = true;
  std::vector<std::string> edited;
  model.setEditValidator([](RecordsetTableModel::Edit& edit) {
    if (!edit.value.isNull() && edit.value.type() != VarType::Double) return false;  // letters
    if (!edit.value.isNull() && edit.value.doubleValue() < 0) return false;
    return true;
  });
  model.setAfterEdit(
      [&](std::size_t position, const std::string& field) { edited.push_back(std::to_string(position) + field); });
  EXPECT_TRUE(model.editCell(0, 4, "2,75"));  // regional decimal comma
  EXPECT_EQ(rs->valueAt(0, 4), Variant(2.75));
  EXPECT_FALSE(model.editCell(0, 4, "abc"));
  EXPECT_FALSE(model.editCell(0, 4, "-1"));
  EXPECT_FALSE(model.editCell(0, 2, "X"));  // read-only
  EXPECT_TRUE(model.editCell(1, 4, ""));    // empty is Null
  EXPECT_TRUE(rs->valueAt(1, 4).isNull());
  EXPECT_EQ(edited, (std::vector<std::string>{"0PVPNEW", "1PVPNEW"}));
  EXPECT_EQ(rs->rowStateAt(0), sql::RowState::Changed);
}

TEST(RecordsetGrid, LaysOutWidthsInTwipsHidesColumnsAndKeepsARefusedCellInEditMode) {
  app();
  RecordsetGrid grid;
  grid.setRecordset(prices());
  grid.gridModel().insertMarkColumn();
  grid.column("VENDEDOR").hidden = true;
  grid.column("CODIGO").widthTwips = 1800;
  grid.applyColumns();
  EXPECT_TRUE(grid.isColumnHidden(1));
  EXPECT_EQ(grid.columnWidth(3), 120);
  EXPECT_EQ(grid.columnWidth(0), 34);  // 505 twips

  grid.gridModel().setEditValidator([](RecordsetTableModel::Edit& edit) { return edit.text != "abc"; });
  grid.resize(600, 300);
  grid.show();
  QApplication::setActiveWindow(&grid);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
  const QModelIndex cell = grid.gridModel().index(0, 5);
  grid.setCurrentIndex(cell);
  grid.edit(cell);
  auto* editor = grid.findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "abc");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the view commits on a queued call
  EXPECT_TRUE(grid.isEditing());
  editor->selectAll();
  QTest::keyClicks(editor, "3");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_FALSE(grid.isEditing());
  EXPECT_EQ(grid.cellText(0, "PVPNEW"), "3");

  // Space in the mark column toggles the row's mark.
  grid.setCurrentIndex(grid.gridModel().index(2, 0));
  QTest::keyClick(&grid, Qt::Key_Space);
  EXPECT_EQ(grid.cellText(2, kMarkColumn), "1");
}

TEST(WidgetFormWindow, GivesAndTakesThePlaceAndSizeOfAWindowInTwips) {
  app();
  QDialog window;
  window.show();
  WidgetFormWindow form(window);
  form.move(1500, 3000, 6000, 4500);
  EXPECT_DOUBLE_EQ(form.width(), 6000);
  EXPECT_DOUBLE_EQ(form.height(), 4500);
  EXPECT_EQ(form.windowState(), vb::vbNormal);
  EXPECT_GT(form.screen().width, 0);
}

}  // namespace
}  // namespace quill::ui
