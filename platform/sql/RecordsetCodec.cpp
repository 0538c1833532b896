#include "platform/sql/RecordsetCodec.h"

#include <nlohmann/json.hpp>

#include "platform/automation/ByValue.h"
#include "platform/automation/MessagePackReader.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"

namespace quill::sql {

namespace {

using json = nlohmann::json;
constexpr int kFormat = 1;

// The recordset's document is five levels deep at most (the recordset, its
// rows, a row, its values, a value); the bytes come from another process,
// so anything deeper is refused before it is built.
constexpr MessagePackReader::Limits kLimits{8, true};

DataType fieldType(int number) {
  switch (static_cast<DataType>(number)) {
    case DataType::Empty:
    case DataType::SmallInt:
    case DataType::Integer:
    case DataType::Double:
    case DataType::Currency:
    case DataType::Date:
    case DataType::Boolean:
    case DataType::Variant:
    case DataType::BigInt:
    case DataType::Numeric:
    case DataType::DateTime:
    case DataType::VarChar:
    case DataType::VarWChar:
      return static_cast<DataType>(number);
  }
  throw std::invalid_argument("a field of an unknown type");
}

json encodeValue(const Variant& v) {
  const auto type = static_cast<int>(v.type());
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      return json::array({type});
    case VarType::Boolean:
      return json::array({type, v.boolValue()});
    case VarType::Integer:
      return json::array({type, v.integerValue()});
    case VarType::Long:
      return json::array({type, v.longValue()});
    case VarType::Double:
      return json::array({type, v.doubleValue()});
    case VarType::Date:
      return json::array({type, v.dateValue().serial});
    case VarType::String:
      return json::array({type, v.stringValue()});
    default:
      throw sqlError(sqlerr::WrongValueType, "A recordset holding objects cannot be copied");
  }
}

Variant decodeValue(const json& j) {
  switch (static_cast<VarType>(j.at(0).get<int>())) {
    case VarType::Empty:
      return Variant();
    case VarType::Null:
      return Variant::null();
    case VarType::Boolean:
      return Variant(j.at(1).get<bool>());
    case VarType::Integer:
      return Variant(j.at(1).get<std::int16_t>());
    case VarType::Long:
      return Variant(j.at(1).get<std::int32_t>());
    case VarType::Double:
      return Variant(j.at(1).get<double>());
    case VarType::Date:
      return Variant(Date{j.at(1).get<double>()});
    case VarType::String:
      return Variant(j.at(1).get<std::string>());
    default:
      throw std::invalid_argument("unknown value kind");
  }
}

json encodeValues(const std::vector<Variant>& values) {
  json out = json::array();
  for (const auto& v : values) out.push_back(encodeValue(v));
  return out;
}

std::vector<Variant> decodeValues(const json& j, std::size_t expected) {
  std::vector<Variant> out;
  for (const auto& v : j) out.push_back(decodeValue(v));
  if (out.size() != expected) throw std::invalid_argument("a row does not fit the fields");
  return out;
}

json encodeRow(const Recordset::Row& row) {
  return json{{"s", static_cast<int>(row.state)},
              {"v", encodeValues(row.values)},
              {"o", encodeValues(row.original)},
              {"a", row.assigned},
              {"d", row.inDatabase}};
}

Recordset::Row decodeRow(const json& j, std::size_t fields) {
  Recordset::Row row;
  const int state = j.at("s").get<int>();
  if (state < 0 || state > static_cast<int>(RowState::Deleted)) throw std::invalid_argument("bad row state");
  row.state = static_cast<RowState>(state);
  row.values = decodeValues(j.at("v"), fields);
  row.original = decodeValues(j.at("o"), fields);
  row.assigned = j.at("a").get<std::vector<bool>>();
  if (row.assigned.size() != fields) throw std::invalid_argument("a row does not fit the fields");
  row.inDatabase = j.at("d").get<bool>();
  return row;
}

}  // namespace

std::string RecordsetCodec::encode(const Recordset& rs) {
  json fields = json::array();
  for (const Field& f : rs.fields_)
    fields.push_back(json{{"n", f.name},
                          {"t", static_cast<int>(f.type)},
                          {"bt", f.baseTable},
                          {"bc", f.baseColumn},
                          {"k", f.key},
                          {"i", f.identity},
                          {"z", f.definedSize}});
  json rows = json::array();
  for (const auto& row : rs.rows_) rows.push_back(encodeRow(row));
  json j{{"format", kFormat},
         {"open", rs.open_},
         {"fields", std::move(fields)},
         {"rows", std::move(rows)},
         {"view", rs.view_},
         {"pos", rs.pos_},
         {"deletedCurrent", rs.deletedCurrent_},
         {"editMode", static_cast<int>(rs.editMode_)},
         {"posBeforeAdd", rs.posBeforeAdd_},
         {"filter", rs.filterText_},
         {"pendingOnly", rs.pendingOnly_},
         {"sort", rs.sortText_}};
  if (rs.editBackup_) j["editBackup"] = encodeRow(*rs.editBackup_);
  const auto bytes = json::to_msgpack(j);
  return std::string(bytes.begin(), bytes.end());
}

std::shared_ptr<Recordset> RecordsetCodec::decode(std::string_view bytes) {
  try {
    std::string why;
    const auto read = MessagePackReader::read(bytes, kLimits, &why);
    if (!read) throw std::invalid_argument(why);
    const json& j = *read;
    if (j.at("format").get<int>() != kFormat) throw std::invalid_argument("unknown format");
    std::vector<Field> fields;
    for (const auto& f : j.at("fields")) {
      Field field;
      field.name = f.at("n").get<std::string>();
      field.type = fieldType(f.at("t").get<int>());
      field.baseTable = f.at("bt").get<std::string>();
      field.baseColumn = f.at("bc").get<std::string>();
      field.key = f.at("k").get<bool>();
      field.identity = f.at("i").get<bool>();
      field.definedSize = f.at("z").get<std::int32_t>();
      fields.push_back(std::move(field));
    }
    auto rs = Recordset::create(std::move(fields));
    const std::size_t n = rs->fields_.size();
    for (const auto& row : j.at("rows")) rs->rows_.push_back(decodeRow(row, n));
    rs->view_ = j.at("view").get<std::vector<std::size_t>>();
    for (std::size_t v : rs->view_)
      if (v >= rs->rows_.size()) throw std::invalid_argument("a visible row does not exist");
    rs->pos_ = j.at("pos").get<std::int64_t>();
    if (rs->pos_ < -1 || rs->pos_ > static_cast<std::int64_t>(rs->view_.size()))
      throw std::invalid_argument("the position is outside the rows");
    rs->deletedCurrent_ = j.at("deletedCurrent").get<bool>();
    const int mode = j.at("editMode").get<int>();
    if (mode < 0 || mode > 2) throw std::invalid_argument("bad edit mode");
    rs->editMode_ = static_cast<EditMode>(mode);
    rs->posBeforeAdd_ = j.at("posBeforeAdd").get<std::int64_t>();
    if (j.contains("editBackup")) rs->editBackup_ = decodeRow(j.at("editBackup"), n);
    if (rs->editMode_ == EditMode::InProgress && !rs->editBackup_) throw std::invalid_argument("edit without backup");
    rs->pendingOnly_ = j.at("pendingOnly").get<bool>();
    rs->filterText_ = j.at("filter").get<std::string>();
    if (!rs->filterText_.empty()) rs->filter_ = RecordsetFilter::parse(rs->filterText_, rs->fields_);
    rs->sortText_ = j.at("sort").get<std::string>();
    if (!rs->sortText_.empty()) rs->sort_ = RecordsetSort::parse(rs->sortText_, rs->fields_);
    rs->open_ = j.at("open").get<bool>();
    return rs;
  } catch (const AutomationError& e) {
    // A filter or sort that does not read, for one.
    throw sqlError(sqlerr::Failed, "The recordset data cannot be read: " + e.description());
  } catch (const std::exception& e) {
    throw sqlError(sqlerr::Failed, std::string("The recordset data cannot be read: ") + e.what());
  }
}

// Recordsets crossing a process border are rebuilt by this library, which
// registers their reader when it is loaded.
[[maybe_unused]] const bool kRegistered = [] {
  registerByValueType(Recordset::kByValueType,
                      [](std::string_view bytes) -> DispatchPtr { return RecordsetCodec::decode(bytes); });
  return true;
}();

}  // namespace quill::sql
