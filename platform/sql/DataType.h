#pragma once

#include <cstdint>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::sql {

// The type of a field or a command parameter, numbered as ADO numbers its
// DataTypeEnum, because late-bound callers read Field.Type and pass these
// numbers to CreateParameter.
enum class DataType : std::int32_t {
  Empty = 0,
  SmallInt = 2,  // 16-bit integer
  Integer = 3,   // 32-bit integer
  Double = 5,
  Currency = 6,
  Date = 7,
  Boolean = 11,
  Variant = 12,  // no fixed type: expression columns with mixed values
  BigInt = 20,
  Numeric = 131,
  DateTime = 135,  // a stored date with time of day
  VarChar = 200,
  VarWChar = 202,
};

// The type of a column from its declared SQL type ("nvarchar(6)", "MONEY",
// "DATETIME", "INTEGER"); an empty declaration (an expression) gives Variant.
DataType typeFromDeclaration(std::string_view declared);

// The kind of automation value that holds a field of this type.
VarType valueKindOf(DataType type);

bool isTextType(DataType type);
bool isNumericType(DataType type);  // integers, booleans and floating point
bool isDateType(DataType type);

}  // namespace quill::sql
