// The unit name: read once at start, set once through its window.
#include "loader.h"
#include "program.h"
#include "sql_text.h"

namespace keeper {
namespace {

using rt::Event;
using rt::UnitKind;

const rt::WindowTemplate kUnitNameWindow = {
    "UnitNameWindow", "设置单位名称", 50, 50, 418, 190, rt::Border::Dialog,
    {{UnitKind::TransparentLabel, "透明标签1", "请在下方输入您的单位名称：", 24, 8, 368, 48},
     {UnitKind::Edit, "编辑框_单位名称", "", 26, 53, 360, 32},
     {UnitKind::TransparentLabel, "透明标签2",
      "注意：单位名称您只能设置一次，设置完成之后，是不可以更改\r\n\r\n的。请仔细填写！", 32, 96, 352, 40},
     {UnitKind::Button, "按钮_设置", "设 置", 296, 128, 88, 24}}};

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

// The first row whose name is not empty: an empty row stored by an older
// version must not hide a name set after it.
UnitName StoredUnitName() {
  mdb::DatabaseConnection& db = Program().database;
  int h = db.OpenRecordset(UnitNameQuery());
  std::string name;
  for (db.MoveFirst(h); !db.IsEOF(h) && name.empty(); db.MoveNext(h)) name = ReadText(h, "单位名称");
  db.CloseRecordset(h);
  return name;
}

void OnUnitNameWindowCreated(rt::WindowModel& m) {
  ApplySkin();
  m.SetText("编辑框_单位名称", StoredUnitName());
}

void OnSetUnitNameClick(rt::RuntimeWindow& w) {
  if (!StoredUnitName().empty()) {
    rt::ShowMessage("由于您之前已经设置了您的单位名称，不可以再次设置！", "警告", 48, w.hwnd());
    return;
  }
  UnitName name = w.model().Get("编辑框_单位名称").text;
  if (IsBlank(name)) {
    rt::ShowMessage("单位名称不能为空，请输入您的单位名称！", "警告", 48, w.hwnd());
    return;
  }
  // The name can be set only once: a "?" in it would stay for good.
  if (!TypedTextFits(w, {"编辑框_单位名称"})) return;
  if (!Program().database.ExecuteStatement(InsertUnitName(name))) {
    rt::ShowMessage("设置单位名称失败！", "", 0, w.hwnd());
    return;
  }
  rt::ShowMessage("设置单位名称完毕！本程序将要关闭，设置将在重启后生效！", "", 0, w.hwnd());
  rt::ExitProgram(0);
}

}  // namespace

void ReadUnitName() { Program().UnitNameText = StoredUnitName(); }

void ShowUnitNameWindow(rt::RuntimeWindow& owner) {
  rt::RuntimeWindow w(kUnitNameWindow);
  w.model().On("", Event::Created, [&w](rt::EventArgs&) { OnUnitNameWindowCreated(w.model()); });
  w.model().On("按钮_设置", Event::Click, [&w](rt::EventArgs&) { OnSetUnitNameClick(w); });
  rt::Loader::Instance().LoadModal(w, &owner);
}

}  // namespace keeper
