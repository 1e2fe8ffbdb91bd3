#include "program.h"

#include <windows.h>

#include "file_access.h"
#include "gbk_text.h"
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

bool TypedTextFits(rt::RuntimeWindow& window, std::initializer_list<const char*> units) {
  for (const char* unit : units) {
    HWND control = window.Control(unit);
    int n = control ? GetWindowTextLengthW(control) : 0;
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), n + 1)));
    if (!zz::FitsGbk(std::u16string(text.begin(), text.end()))) {
      rt::ShowMessage("输入的文字中有本系统无法保存的字符，请修改后重试！", "警告", 48, window.hwnd());
      return false;
    }
  }
  return true;
}

void ApplySkin() {
  // Without the skin library (missing, refused, failing) the windows keep
  // the system's look and start-up goes on in the same order.
  if (Program().SkinNumber >= 1) zz::skin::ApplySkin(Program().SkinNumber);
}

}  // namespace keeper
