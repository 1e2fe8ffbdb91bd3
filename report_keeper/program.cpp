#include "program.h"

#include "file_access.h"
#include "skin_loader.h"
#include "loader.h"
#include "message_box.h"

namespace keeper {

ProgramState& Program() {
  static ProgramState state;
  return state;
}

std::string ReadText(mdb::DatabaseConnection& db, int recordset, const char* column) {
  std::string text;
  if (!db.ReadField(recordset, column).AsText(&text))
    rt::FatalError(rt::kErrorTypeMismatch, "数据或数组类型不匹配");
  return text;
}

std::string ReadText(int recordset, const char* column) {
  return ReadText(Program().database, recordset, column);
}

bool ReadBool(int recordset, const char* column) {
  bool value = false;
  if (!Program().database.ReadField(recordset, column).AsBool(&value))
    rt::FatalError(rt::kErrorTypeMismatch, "数据或数组类型不匹配");
  return value;
}

long long ReadKey(mdb::DatabaseConnection& db, int recordset, const char* column) {
  long long value = 0;
  if (!db.ReadField(recordset, column).AsInteger(&value))
    rt::FatalError(rt::kErrorNeedNumber, "未得到所需要的数值型数据");
  return value;
}

long long ReadKey(int recordset, const char* column) {
  return ReadKey(Program().database, recordset, column);
}

zz::DateTime ReadDate(int recordset, const char* column) {
  zz::DateTime value;
  if (!Program().database.ReadField(recordset, column).AsDate(&value))
    rt::FatalError(rt::kErrorTypeMismatch, "数据或数组类型不匹配");
  return value;
}

zz::DateTime ReadDateOrText(int recordset, const char* column) {
  const mdb::FieldValue& field = Program().database.ReadField(recordset, column);
  zz::DateTime value;
  if (field.AsDate(&value)) return value;
  std::string text;
  if (field.AsText(&text))
    if (std::optional<zz::DateTime> parsed = zz::ParseDateTime(text)) return *parsed;
  rt::FatalError(rt::kErrorTypeMismatch, "数据或数组类型不匹配");
}

std::string RunDirectory() { return rt::ModuleFolder(); }
std::string SettingsPath() { return RunDirectory() + "\\1021.ini"; }

void ApplySkin() {
  // Without the skin library (missing, refused, failing) the windows keep
  // the system's look and start-up goes on in the same order.
  if (Program().SkinNumber >= 1) zz::skin::ApplySkin(Program().SkinNumber);
}

}  // namespace keeper
