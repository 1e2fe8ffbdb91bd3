// The tables of ml.mdb as the program uses them, with the types the program
// expects to read back. SQLite keeps only storage classes; these declared
// types are what a read reports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mdb {

enum class FieldType { Text, Boolean, Integer, Float, Date, Binary };

struct ColumnDef {
  const char* name;  // GBK
  FieldType type;
};

struct TableDef {
  const char* name;  // GBK
  std::vector<ColumnDef> columns;
};

const std::vector<TableDef>& Tables();

// True when some table has a date column of this (GBK) name.
bool IsDateColumn(std::string_view gbk_name);

// The declared type word written into CREATE TABLE, and back.
const char* DeclaredTypeName(FieldType type);
FieldType TypeFromDeclared(std::string_view declared, bool* known);

// CREATE TABLE statements (UTF-8) for a new file.
std::vector<std::string> CreateStatements();

}  // namespace mdb
