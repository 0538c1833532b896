#include "platform/sql/Recordset.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <utility>

#include "platform/automation/ByValue.h"
#include "platform/sql/RecordsetObserver.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::errorNumberOf;

Variant L(std::int32_t v) { return Variant(v); }

// Three clients as a report's working set would hold them.
std::shared_ptr<Recordset> clients() {
  auto rs = Recordset::create({{"CLIENTE", DataType::VarWChar, "CLIENTES", "CODIGO", true, false, 15},
                               {"NOME", DataType::VarWChar, "CLIENTES", "NOME", false, false, 60},
                               {"LINHA", DataType::Integer},
                               {"DESCONTO", DataType::Double},
                               {"DATA", DataType::DateTime}});
  rs->appendRow({Variant("C1"), Variant("Ana"), L(1), Variant(2.5), Variant(vb::makeDate(2026, 3, 1))});
  rs->appendRow({Variant("C2"), Variant("Bruno"), L(2), Variant::null(), Variant(vb::makeDate(2026, 3, 15))});
  rs->appendRow({Variant("C3"), Variant("Carla"), L(3), Variant(0.0), Variant::null()});
  return rs;
}

std::vector<std::string> codes(Recordset& rs) {
  std::vector<std::string> out;
  if (rs.recordCount() == 0) return out;
  for (rs.moveFirst(); !rs.eof(); rs.moveNext()) out.push_back(rs.value("CLIENTE").stringValue());
  return out;
}

TEST(Recordset, AnEmptyRecordsetIsAtBothEndsAndHasNoCurrentRecord) {
  auto rs = Recordset::create({{"A", DataType::Integer}});
  EXPECT_TRUE(rs->bof());
  EXPECT_TRUE(rs->eof());
  EXPECT_EQ(rs->recordCount(), 0);
  rs->moveFirst();  // harmless on an empty set
  rs->moveLast();
  EXPECT_EQ(errorNumberOf([&] { rs->value("A"); }), sqlerr::NoCurrentRecord);
  EXPECT_EQ(errorNumberOf([&] { rs->moveNext(); }), sqlerr::NoCurrentRecord);
}

TEST(Recordset, MovesOverItsRowsAndReportsItsEndsAndPosition) {
  auto rs = clients();
  EXPECT_EQ(rs->recordCount(), 3);
  EXPECT_FALSE(rs->bof());
  EXPECT_EQ(rs->absolutePosition(), 1);
  EXPECT_EQ(rs->value("cliente"), Variant("C1"));  // names without regard to case
  rs->moveLast();
  EXPECT_EQ(rs->value("CLIENTE"), Variant("C3"));
  rs->moveNext();
  EXPECT_TRUE(rs->eof());
  EXPECT_EQ(rs->absolutePosition(), -3);
  EXPECT_EQ(errorNumberOf([&] { rs->moveNext(); }), sqlerr::NoCurrentRecord);
  rs->movePrevious();
  rs->movePrevious();
  rs->movePrevious();
  EXPECT_EQ(rs->value("CLIENTE"), Variant("C1"));
  rs->movePrevious();
  EXPECT_TRUE(rs->bof());
  EXPECT_EQ(errorNumberOf([&] { rs->movePrevious(); }), sqlerr::NoCurrentRecord);
  rs->setAbsolutePosition(2);
  EXPECT_EQ(rs->value("NOME"), Variant("Bruno"));
  EXPECT_EQ(errorNumberOf([&] { rs->value("NAOHA"); }), sqlerr::ItemNotFound);
  EXPECT_EQ(errorNumberOf([&] { rs->setAbsolutePosition(4); }), sqlerr::InvalidArgument);
}

TEST(Recordset, FieldWritesKeepTheValueAsWrittenWhateverTheFieldType) {
  auto rs = clients();
  rs->setValue("NOME", Variant(12.5));      // a number into a text column
  rs->setValue("LINHA", Variant("texto"));  // text into a number column
  rs->setValue("DATA", Variant("07-12-2026"));
  rs->update();
  EXPECT_EQ(rs->value("NOME"), Variant(12.5));
  EXPECT_EQ(rs->value("LINHA"), Variant("texto"));
  EXPECT_EQ(rs->value("DATA"), Variant("07-12-2026"));
  EXPECT_EQ(rs->originalValue(rs->fieldIndex("NOME")), Variant("Ana"));
  EXPECT_EQ(rs->rowState(), RowState::Changed);
  EXPECT_EQ(errorNumberOf([&] { rs->setValue("NOME", Variant(DispatchPtr(rs))); }), sqlerr::WrongValueType);
}

TEST(Recordset, EditsAreUndoneByCancelUpdateAndFinishedByAMove) {
  auto rs = clients();
  rs->setValue("NOME", Variant("Outra"));
  EXPECT_EQ(rs->editMode(), EditMode::InProgress);
  rs->cancelUpdate();
  EXPECT_EQ(rs->value("NOME"), Variant("Ana"));
  EXPECT_EQ(rs->rowState(), RowState::Unchanged);
  EXPECT_FALSE(rs->hasPendingChanges());

  rs->setValue("NOME", Variant("Outra"));
  rs->moveNext();  // implies Update
  EXPECT_EQ(rs->editMode(), EditMode::None);
  rs->moveFirst();
  EXPECT_EQ(rs->value("NOME"), Variant("Outra"));
  EXPECT_EQ(rs->rowState(), RowState::Changed);
  EXPECT_TRUE(rs->rows()[0].assigned[1]);
  EXPECT_FALSE(rs->rows()[0].assigned[0]);
}

TEST(Recordset, NewRowsAreAddedAtTheEndAndCanBeCancelled) {
  auto rs = clients();
  rs->moveFirst();
  rs->addNew();
  EXPECT_EQ(rs->editMode(), EditMode::Add);
  EXPECT_TRUE(rs->value("CLIENTE").isNull());
  rs->setValue("CLIENTE", Variant("C4"));
  rs->update();
  EXPECT_EQ(rs->rowState(), RowState::Added);
  EXPECT_EQ(rs->recordCount(), 4);
  EXPECT_EQ(codes(*rs), (std::vector<std::string>{"C1", "C2", "C3", "C4"}));

  rs->setAbsolutePosition(2);
  rs->addNew();
  rs->setValue("CLIENTE", Variant("C5"));
  rs->cancelUpdate();
  EXPECT_EQ(rs->recordCount(), 4);
  EXPECT_EQ(rs->value("CLIENTE"), Variant("C2"));  // back where it was
}

TEST(Recordset, ADeletedRowStaysCurrentUntilAMoveAndThenIsGone) {
  auto rs = clients();
  rs->setAbsolutePosition(2);
  rs->deleteCurrent();
  EXPECT_FALSE(rs->eof());
  EXPECT_EQ(errorNumberOf([&] { rs->value("CLIENTE"); }), sqlerr::NoCurrentRecord);
  rs->moveNext();
  EXPECT_EQ(rs->value("CLIENTE"), Variant("C3"));
  EXPECT_EQ(rs->recordCount(), 2);
  EXPECT_EQ(codes(*rs), (std::vector<std::string>{"C1", "C3"}));
  EXPECT_EQ(rs->rows()[1].state, RowState::Deleted);

  // Deleting every row in a loop, the way VB code does it.
  rs->moveFirst();
  while (!rs->eof()) {
    rs->deleteCurrent();
    rs->moveNext();
  }
  EXPECT_EQ(rs->recordCount(), 0);
  EXPECT_TRUE(rs->bof());
}

TEST(Recordset, AcceptedChangesLeaveUnchangedRowsAndDropDeletedOnes) {
  auto rs = clients();
  rs->setValue("NOME", Variant("Nova"));
  rs->update();
  rs->moveNext();
  rs->deleteCurrent();
  rs->addNew();
  rs->setValue("CLIENTE", Variant("C9"));
  rs->update();
  rs->addNew();  // added and deleted again: never reaches a table
  rs->deleteCurrent();
  std::vector<Recordset::SavedRow> saved{{0, rs->rows()[0].values}, {1, {}}, {3, rs->rows()[3].values}};
  rs->acceptChanges(saved);
  EXPECT_FALSE(rs->hasPendingChanges());
  EXPECT_EQ(rs->rows().size(), 3u);
  EXPECT_EQ(codes(*rs), (std::vector<std::string>{"C1", "C3", "C9"}));
  rs->moveFirst();
  EXPECT_EQ(rs->originalValue(1), Variant("Nova"));
}

TEST(Recordset, AppendedFieldsAreNullInEveryRowAndTakeAnyValue) {
  auto rs = clients();
  rs->appendField({"EXTRA", DataType::Variant});
  EXPECT_TRUE(rs->value("EXTRA").isNull());
  rs->setValue("EXTRA", Variant(vb::makeDate(2026, 1, 1)));
  rs->update();
  rs->moveLast();
  EXPECT_TRUE(rs->value("extra").isNull());
  EXPECT_EQ(errorNumberOf([&] { rs->appendRow({Variant("C")}); }), sqlerr::InvalidArgument);
}

TEST(Recordset, AClosedRecordsetRefusesEverything) {
  auto rs = clients();
  rs->close();
  EXPECT_EQ(errorNumberOf([&] { rs->recordCount(); }), sqlerr::ObjectClosed);
  EXPECT_EQ(errorNumberOf([&] { rs->moveFirst(); }), sqlerr::ObjectClosed);
  EXPECT_EQ(errorNumberOf([&] { rs->value(0); }), sqlerr::ObjectClosed);
}

TEST(Recordset, CrossesByValueWithRowsStatesPositionFilterAndSort) {
  auto rs = clients();
  rs->setValue("NOME", Variant(7.25));
  rs->update();
  rs->moveNext();
  rs->deleteCurrent();
  rs->addNew();
  rs->setValue("CLIENTE", Variant("C0"));
  rs->setValue("LINHA", L(9));
  rs->update();
  rs->setSort("CLIENTE DESC");
  rs->setFilter("LINHA > 1");
  rs->moveNext();

  auto copy = std::dynamic_pointer_cast<Recordset>(deserializeByValue(rs->byValueTypeName(), rs->serialize()));
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->fields(), rs->fields());
  EXPECT_EQ(copy->filter(), "LINHA > 1");
  EXPECT_EQ(copy->sort(), "CLIENTE DESC");
  EXPECT_EQ(copy->absolutePosition(), rs->absolutePosition());
  EXPECT_EQ(copy->value("CLIENTE"), rs->value("CLIENTE"));
  ASSERT_EQ(copy->rows().size(), rs->rows().size());
  for (std::size_t i = 0; i < rs->rows().size(); ++i) {
    EXPECT_EQ(copy->rows()[i].values, rs->rows()[i].values) << i;
    EXPECT_EQ(copy->rows()[i].original, rs->rows()[i].original) << i;
    EXPECT_EQ(copy->rows()[i].state, rs->rows()[i].state) << i;
    EXPECT_EQ(copy->rows()[i].assigned, rs->rows()[i].assigned) << i;
  }
  EXPECT_EQ(copy->rows()[0].values[1].type(), VarType::Double);
  EXPECT_EQ(copy->rows()[0].values[4].type(), VarType::Date);
  // The copy is its own: changing it leaves the original alone.
  copy->setFilter("");
  EXPECT_EQ(copy->recordCount(), 3);
  EXPECT_EQ(rs->recordCount(), 2);
}

TEST(Recordset, BytesThatAreNotARecordsetFailClearly) {
  std::string description;
  EXPECT_NE(errorNumberOf([&] { Recordset::deserialize("nonsense"); }, &description), 0);
  EXPECT_NE(description.find("cannot be read"), std::string::npos);
  auto bytes = clients()->serialize();
  bytes.resize(bytes.size() / 2);
  EXPECT_NE(errorNumberOf([&] { Recordset::deserialize(bytes); }), 0);
}

// The recordset's document, changed by `edit`, as another process might send it.
std::string editedBytes(const std::function<void(nlohmann::json&)>& edit) {
  const std::string bytes = clients()->serialize();
  auto document = nlohmann::json::from_msgpack(bytes);
  edit(document);
  auto out = nlohmann::json::to_msgpack(document);
  return std::string(out.begin(), out.end());
}

TEST(Recordset, HostileBytesFailWithAnErrorNamingTheProblem) {
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"150000 lists, one in the other", std::string(150000, '\x91') + "\xc0", "nested deeper"},
      {"a value nested 40 deep", editedBytes([](auto& d) {
         nlohmann::json value = nullptr;
         for (int i = 0; i < 40; ++i) value = nlohmann::json::array({value});
         d["rows"][0]["v"][0] = value;
       }),
       "nested deeper"},
      {"a filter of 100000 parentheses",
       editedBytes([](auto& d) { d["filter"] = std::string(100000, '(') + "LINHA = 1" + std::string(100000, ')'); }),
       "parentheses nested more than 32 deep"},
      {"a field of a type no recordset has", editedBytes([](auto& d) { d["fields"][0]["t"] = 999; }), "unknown type"},
      {"a row of another width", editedBytes([](auto& d) { d["rows"][0]["v"].erase(0); }), "does not fit"},
      {"a position beyond the rows", editedBytes([](auto& d) { d["pos"] = 4000000000LL; }), "outside the rows"},
  };
  for (const auto& c : cases) {
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { Recordset::deserialize(c.bytes); }, &description), sqlerr::Failed) << c.name;
    EXPECT_NE(description.find("The recordset data cannot be read"), std::string::npos) << c.name;
    EXPECT_NE(description.find(c.reason), std::string::npos) << c.name << ": " << description;
  }
}

TEST(Recordset, ALongChainOfClausesFiltersWithoutDeepRecursion) {
  auto rs = clients();
  std::string criteria = "LINHA > 1";
  for (int i = 0; i < 200000; ++i) criteria += i % 2 ? " AND LINHA > 1" : " AND LINHA < 9";
  rs->setFilter(criteria);
  EXPECT_EQ(codes(*rs), (std::vector<std::string>{"C2", "C3"}));
  rs->setFilter("(LINHA = 1 OR (LINHA = 3 AND (CLIENTE = 'c3'))) OR NOME LIKE 'b*'");
  EXPECT_EQ(codes(*rs), (std::vector<std::string>{"C1", "C2", "C3"}));
  EXPECT_NE(errorNumberOf([&] { rs->setFilter(std::string(33, '(') + "LINHA = 1" + std::string(33, ')')); }), 0);
  rs->setFilter(std::string(32, '(') + "LINHA = 1" + std::string(32, ')'));
  EXPECT_EQ(codes(*rs), (std::vector<std::string>{"C1"}));
}

// Random damage to a recordset's bytes: a copy that is read is whole (it can
// be walked and read); the rest fails with the layer's error, never worse.
TEST(Recordset, DamagedBytesGiveAWholeCopyOrAClearError) {
  auto rs = clients();
  rs->setFilter("LINHA > 1");
  rs->setSort("NOME DESC");
  const std::string good = rs->serialize();
  std::mt19937 random(16);
  int copies = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string bytes = good;
    for (int n = 1 + random() % 3; n > 0 && !bytes.empty(); --n) {
      std::size_t at = random() % bytes.size();
      if (random() % 2)
        bytes[at] = static_cast<char>(random());
      else
        bytes.erase(at, 1 + random() % 4);
    }
    std::shared_ptr<Recordset> copy;
    try {
      copy = Recordset::deserialize(bytes);
    } catch (const AutomationError&) {
      continue;
    }
    ++copies;
    std::int32_t seen = 0;
    if (copy->recordCount() > 0)
      for (copy->moveFirst(); !copy->eof() && seen <= copy->recordCount(); copy->moveNext(), ++seen)
        for (const auto& field : copy->fields()) (void)copy->value(field.name);
    EXPECT_EQ(seen, copy->recordCount()) << i;
  }
  EXPECT_GT(copies, 0);
}

}  // namespace
}  // namespace quill::sql

namespace quill::sql {
namespace {

// Writes down what an item view bound to the recordset is told, and checks
// on each "after" that the rows counted before and after agree with it.
class RecordingObserver : public RecordsetObserver {
 public:
  explicit RecordingObserver(Recordset& rs) : rs_(rs) { rs_.addObserver(this); }
  ~RecordingObserver() override { rs_.removeObserver(this); }

  void rowsAboutToBeInserted(std::size_t first, std::size_t last) override {
    log.push_back("insert " + std::to_string(first) + "-" + std::to_string(last));
    expected_ = rs_.recordCount() + static_cast<std::int32_t>(last - first + 1);
  }
  void rowsInserted() override { EXPECT_EQ(rs_.recordCount(), expected_); }
  void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override {
    log.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
    expected_ = rs_.recordCount() - static_cast<std::int32_t>(last - first + 1);
  }
  void rowsRemoved() override { EXPECT_EQ(rs_.recordCount(), expected_); }
  void rowChanged(std::size_t position) override { log.push_back("changed " + std::to_string(position)); }
  void aboutToReset() override { log.push_back("reset"); }

  std::vector<std::string> take() { return std::exchange(log, {}); }
  std::vector<std::string> log;

 private:
  Recordset& rs_;
  std::int32_t expected_ = 0;
};

using Log = std::vector<std::string>;

TEST(RecordsetObserver, IsToldOfEditsAdditionsRemovalsAndNewViewsByVisiblePosition) {
  auto rs = clients();
  RecordingObserver seen(*rs);

  rs->moveLast();
  rs->setValue("NOME", Variant("Carla M."));
  rs->cancelUpdate();
  EXPECT_EQ(seen.take(), (Log{"changed 2", "changed 2"}));

  rs->addNew();
  rs->cancelUpdate();
  rs->appendRow({Variant("C4"), Variant("Duarte"), L(4), Variant(1.0), Variant::null()});
  EXPECT_EQ(seen.take(), (Log{"insert 3-3", "remove 3-3", "insert 3-3"}));

  rs->setSort("NOME DESC");  // Duarte, Carla, Bruno, Ana
  rs->setFilter("LINHA > 1");
  EXPECT_EQ(seen.take(), (Log{"reset", "reset"}));

  rs->moveFirst();
  rs->moveNext();  // Carla, second of the view
  rs->deleteCurrent();
  EXPECT_EQ(seen.take(), (Log{"remove 1-1"}));

  // A grid edit by position leaves the other rows alone.
  rs->setValueAt(1, rs->fieldIndex("DESCONTO"), Variant(7.5));  // Bruno
  EXPECT_EQ(seen.take(), (Log{"changed 1"}));
  EXPECT_EQ(rs->valueAt(1, rs->fieldIndex("DESCONTO")), Variant(7.5));
  EXPECT_EQ(rs->rowStateAt(1), RowState::Changed);
  EXPECT_EQ(rs->valueAt(0, rs->fieldIndex("CLIENTE")), Variant("C4"));

  rs->close();
  EXPECT_EQ(seen.take(), (Log{"reset"}));
}

TEST(RecordsetObserver, AFailedWriteThroughDeleteGivesTheRowBackToTheView) {
  auto rs = clients();
  rs->writeThrough([](Recordset&, std::size_t) { throw sqlError(sqlerr::ObjectClosed, "closed"); });
  RecordingObserver seen(*rs);
  rs->moveFirst();
  EXPECT_EQ(errorNumberOf([&] { rs->deleteCurrent(); }), sqlerr::ObjectClosed);
  EXPECT_EQ(seen.take(), (Log{"remove 0-0", "insert 0-0"}));
  EXPECT_EQ(rs->recordCount(), 3);
  // An edit that cannot be written stays in edit, for the caller to undo.
  EXPECT_EQ(errorNumberOf([&] { rs->setValueAt(2, 1, Variant("X")); }), sqlerr::ObjectClosed);
  EXPECT_EQ(rs->editMode(), EditMode::InProgress);
  rs->cancelUpdate();
  EXPECT_EQ(rs->valueAt(2, 1), Variant("Carla"));
}

}  // namespace
}  // namespace quill::sql
