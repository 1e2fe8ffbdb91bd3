// The main window: start-up, record entry with its totals, the record list
// with the settlement period and the date-range search, and the menus.
#include <windows.h>

#include <array>
#include <cstdlib>
#include <ctime>

#include "clock.h"
#include "file_access.h"
#include "ini_file.h"
#include "list_background.h"
#include "record_list.h"
#include "report_precondition.h"
#include "loader.h"
#include "program.h"
#include "settlement.h"
#include "sql_text.h"
#include "totals.h"
#include "user_management_window.h"

namespace keeper {
namespace {

using rt::Event;
using rt::UnitKind;

constexpr rt::Colour kHighlight = 0x80E000;
constexpr rt::Colour kNormal = 0xFFFFFF;
const char* const kWaiting = "等待计算……";
const char* const kList = "超级列表框_数据显示";
const rt::WindowTemplate kMainWindow = {
    "MainWindow", "Zuzaror", 160, 0, 1024, 728, rt::Border::Fixed,
    {{UnitKind::TransparentLabel, "透明标签19", "日  期：", 8, 12, 58, 24},
     {UnitKind::DateBox, "日期框_现日期", "", 64, 12, 128, 24},
     {UnitKind::TransparentLabel, "透明标签2", "挂号：", 207, 8, 36, 24},
     {UnitKind::Edit, "编辑框_挂号", "", 249, 8, 80, 24},
     {UnitKind::TransparentLabel, "透明标签7", "B 超：", 345, 8, 36, 24},
     {UnitKind::Edit, "编辑框_B超", "", 385, 8, 80, 24},
     {UnitKind::TransparentLabel, "透明标签10", "治疗：", 480, 8, 36, 24},
     {UnitKind::Edit, "编辑框_治疗", "", 521, 8, 80, 24},
     {UnitKind::TransparentLabel, "透明标签4", "多普勒：", 600, 8, 58, 24},
     {UnitKind::Edit, "编辑框_多普勒", "", 657, 8, 80, 24},
     {UnitKind::TransparentLabel, "透明标签6", "手术：", 753, 8, 36, 24},
     {UnitKind::Edit, "编辑框_手术", "", 793, 8, 80, 24},
     {UnitKind::TransparentLabel, "透明标签9", "化验：", 888, 8, 36, 24},
     {UnitKind::Edit, "编辑框_化验", "", 929, 8, 80, 24},
     {UnitKind::TransparentLabel, "透明标签3", "其  它：", 8, 40, 58, 24},
     {UnitKind::Edit, "编辑框_其它", "", 64, 40, 128, 24},
     {UnitKind::TransparentLabel, "透明标签11", "心电图：", 192, 44, 58, 24},
     {UnitKind::Edit, "编辑框_心电图", "", 249, 40, 80, 24},
     {UnitKind::TransparentLabel, "透明标签12", "X 光：", 345, 44, 36, 24},
     {UnitKind::Edit, "编辑框_X光", "", 385, 40, 80, 24},
     {UnitKind::TransparentLabel, "透明标签5", "人次：", 480, 44, 36, 24},
     {UnitKind::Edit, "编辑框_人次", "", 521, 40, 80, 24},
     {UnitKind::TransparentLabel, "透明标签13", "中  药：", 600, 40, 86, 24},
     {UnitKind::Edit, "编辑框_中药", "", 657, 40, 80, 24},
     {UnitKind::TransparentLabel, "透明标签16", "西药：", 753, 44, 36, 24},
     {UnitKind::Edit, "编辑框_西药", "", 794, 40, 80, 24},
     {UnitKind::TransparentLabel, "透明标签15", "防疫：", 888, 37, 36, 24},
     {UnitKind::Edit, "编辑框_防疫收入", "", 928, 40, 81, 24},
     {UnitKind::GroupBox, "分组框1", "", 9, 67, 1001, 56},
     {UnitKind::TransparentLabel, "透明标签8", "医疗合计：", 4, 20, 81, 24, "分组框1"},
     {UnitKind::Edit, "编辑框_医疗收入合计", "", 79, 20, 127, 24, "分组框1"},
     {UnitKind::TransparentLabel, "透明标签17", "药品合计：", 218, 20, 81, 24, "分组框1"},
     {UnitKind::Edit, "编辑框_药品收入合计", "", 293, 20, 127, 24, "分组框1"},
     {UnitKind::TransparentLabel, "透明标签14", "医疗+药品\r\n合计：", 429, 20, 112, 24, "分组框1"},
     {UnitKind::TransparentLabel, "透明标签_总计收入", "等待计算……", 545, 20, 141, 24, "分组框1"},
     {UnitKind::TransparentLabel, "透明标签20", "医疗+药品+防疫合计：", 693, 20, 152, 24, "分组框1"},
     {UnitKind::TransparentLabel, "透明标签_各项收入总合计", "等待计算……", 849, 20, 145, 24, "分组框1"},
     {UnitKind::Button, "按钮_增加", "增  加", 8, 126, 96, 31},
     {UnitKind::Button, "按钮_修改", "修  改", 113, 126, 96, 31},
     {UnitKind::Button, "按钮_删除", "删  除", 218, 126, 96, 31},
     {UnitKind::Button, "按钮_打印五日报表", "打印五日报表", 323, 126, 96, 31},
     {UnitKind::Button, "按钮_打印统计报表", "打印统计报表", 428, 126, 96, 31},
     {UnitKind::PushCheckBox, "按钮_选择日期", "选择日期>>>", 536, 126, 96, 31},
     {UnitKind::TransparentLabel, "透明标签_主界面", "", 648, 128, 360, 32},
     {UnitKind::DateBox, "日期框_开始", "", 644, 130, 112, 24},
     {UnitKind::TransparentLabel, "透明标签18", "到", 767, 130, 12, 24},
     {UnitKind::DateBox, "日期框_终止", "", 790, 130, 112, 24},
     {UnitKind::PushCheckBox, "按钮_查找", "查  找", 914, 126, 96, 31},
     {UnitKind::ListView, "超级列表框_数据显示", "", 0, 160, 1018, 504},
     {UnitKind::StatusBar, "状态条_主", "", 0, 658, 1028, 20},
     {UnitKind::Timer, "时钟1", "", 0, 0, 0, 0, "", true, false, 1000},
     {UnitKind::ExternalDatabase, "外部数据库_ml"},
     {UnitKind::OpenFileDialog, "通用对话框1", "选择已有的备份文件", 0, 0, 0, 0, "", true, false, 0,
      "备份文件|*.ml"}},
    {{"&G用户", {{"&U用户管理"}, {"&M设置单位名称"}, {"设置系统默认显示方式"}}},
     {"&S系统维护", {{"&D数据备份"}, {"&H数据恢复"}}},
     {"&H帮助", {{"&A关于"}}},
     {"退出系统", {{"关闭软件"}}},
     {"右键", {{"&X退出查询"}}, true},
     {"输录区右键", {{"全部清空重写"}}, true}}};

// The thirteen entry fields in entry (and Enter) order.
const char* const kFields[13] = {"编辑框_挂号", "编辑框_B超",   "编辑框_治疗", "编辑框_多普勒",
                                 "编辑框_手术", "编辑框_化验",  "编辑框_其它", "编辑框_心电图",
                                 "编辑框_X光",  "编辑框_人次",  "编辑框_中药", "编辑框_西药",
                                 "编辑框_防疫收入"};
// The label beside each entry field, as a refusal of its text names it.
const char* const kFieldLabels[13] = {"挂号", "B超", "治疗", "多普勒", "手术", "化验", "其它",
                                      "心电图", "X光", "人次", "中药", "西药", "防疫"};
// Database column of each entry field.
const char* const kFieldColumns[13] = {"挂号", "B超", "治疗", "多普勒", "手术", "化验", "其它",
                                       "心电图", "X光", "人次", "中药", "西药", "防疫收入"};

class MainWindow {
 public:
  MainWindow() : window_(kMainWindow), m_(window_.model()) { Attach(); }
  rt::RuntimeWindow& window() { return window_; }

 private:
  using Handler = void (MainWindow::*)(rt::EventArgs&);
  struct Binding {
    const char* unit;  // "" for the window itself
    Event event;
    Handler handler;
  };
  struct MenuBinding {
    const char* item;
    Handler handler;
  };
  static const Binding kBindings[];
  static const MenuBinding kMenuBindings[];

  void Attach();
  rt::Handler Call(Handler handler) {
    return [this, handler](rt::EventArgs& a) { (this->*handler)(a); };
  }

  // Start, end and the clock.
  void OnMainWindowCreated(rt::EventArgs&);
  void OnMainWindowClosing(rt::EventArgs&);
  void OnCloseProgramMenu(rt::EventArgs&);
  void OnClockTimer(rt::EventArgs&);
  bool OpenDatabase();
  void SetupStatusBar();

  // Entry area. The registration field's handlers serve all thirteen
  // fields: `field` is the field's place in kFields.
  void OnRegistrationClick(int field);
  void OnRegistrationKeyDown(int field, int key);
  void OnTotalsChanged(rt::EventArgs&) { RecomputeTotals(); }
  void OnMedicalTotalClick(rt::EventArgs&) { RecomputeAndClearHighlight(); }
  void OnDrugTotalClick(rt::EventArgs&) { RecomputeAndClearHighlight(); }
  void OnTotalIncomeLabelClick(rt::EventArgs&) { RecomputeAndClearHighlight(); }
  void OnGrandTotalLabelClick(rt::EventArgs&) { RecomputeAndClearHighlight(); }
  void OnMainWindowClick(rt::EventArgs&) { RecomputeAndClearHighlight(); }
  void RecomputeAndClearHighlight();
  void RecomputeTotals();
  // One colour a field, 0 for the normal white.
  void HighlightEntryField(const std::array<rt::Colour, 13>& colours);
  void HighlightOnly(int field);  // -1: none
  void ClearEntryFields();
  IncomeRecord RecordValues();
  bool FiguresAreNumbers();
  void OnAddRecordClick(rt::EventArgs&);
  void OnAddRecordKeyDown(rt::EventArgs& a);
  void OnModifyRecordClick(rt::EventArgs&);
  void OnDeleteRecordClick(rt::EventArgs&);
  void OnRecordSelected(rt::EventArgs& a);
  void OnRecordListRightClick(rt::EventArgs&) { window_.PopupMenu("右键"); }
  void OnEntryAreaRightClick(rt::EventArgs&) { window_.PopupMenu("输录区右键"); }
  void OnClearAllMenu(rt::EventArgs&) { ClearEntryFields(); }
  void AddRecord();
  void RefreshAfterChange(bool* quiet_flag);

  // Record list.
  void FillRecordList(const std::string& sql);
  void ShowCurrentPeriod();
  void OnSearchClick(rt::EventArgs&);
  void OnSelectDateToggle(rt::EventArgs&);
  void OnStartDateChanged(rt::EventArgs&) { RangeDateChanged(); }
  void OnEndDateChanged(rt::EventArgs&) { RangeDateChanged(); }
  void RangeDateChanged();
  void OnExitQueryMenu(rt::EventArgs&);

  // The other windows.
  void OnFiveDayReportClick(rt::EventArgs&);
  void OnStatisticsReportClick(rt::EventArgs&) { ShowStatisticsReportWindow(window_); }
  void OnUserManagementMenu(rt::EventArgs&) { ShowUserManagementWindow(window_); }
  void OnUnitNameMenu(rt::EventArgs&) { ShowUnitNameWindow(window_); }
  void OnDisplayModeMenu(rt::EventArgs&) { ShowDisplayModeWindow(&window_, true); }
  void OnBackupMenu(rt::EventArgs&) { BackUpDatabase(window_); }
  void OnRestoreMenu(rt::EventArgs&);
  void OnAboutMenu(rt::EventArgs&) { ShowAboutWindow(window_); }

  rt::RuntimeWindow window_;
  rt::WindowModel& m_;
  bool add_armed_ = false;  // Enter from the last field: the next key adds
};

const MainWindow::Binding MainWindow::kBindings[] = {
    {"", Event::Created, &MainWindow::OnMainWindowCreated},
    {"", Event::Closing, &MainWindow::OnMainWindowClosing},
    {"时钟1", Event::TimerTick, &MainWindow::OnClockTimer},
    {"编辑框_治疗", Event::Changed, &MainWindow::OnTotalsChanged},
    {"编辑框_人次", Event::Changed, &MainWindow::OnTotalsChanged},
    {"编辑框_医疗收入合计", Event::LeftButtonUp, &MainWindow::OnMedicalTotalClick},
    {"编辑框_药品收入合计", Event::LeftButtonUp, &MainWindow::OnDrugTotalClick},
    {"透明标签_总计收入", Event::LeftButtonUp, &MainWindow::OnTotalIncomeLabelClick},
    {"透明标签_各项收入总合计", Event::LeftButtonUp, &MainWindow::OnGrandTotalLabelClick},
    {"", Event::LeftButtonUp, &MainWindow::OnMainWindowClick},
    {"按钮_增加", Event::Click, &MainWindow::OnAddRecordClick},
    {"按钮_增加", Event::KeyDown, &MainWindow::OnAddRecordKeyDown},
    {"按钮_修改", Event::Click, &MainWindow::OnModifyRecordClick},
    {"按钮_删除", Event::Click, &MainWindow::OnDeleteRecordClick},
    {"按钮_打印五日报表", Event::Click, &MainWindow::OnFiveDayReportClick},
    {"按钮_打印统计报表", Event::Click, &MainWindow::OnStatisticsReportClick},
    {kList, Event::ItemChanged, &MainWindow::OnRecordSelected},
    {kList, Event::RightButtonDown, &MainWindow::OnRecordListRightClick},
    {"", Event::RightButtonDown, &MainWindow::OnEntryAreaRightClick},
    {"按钮_选择日期", Event::Click, &MainWindow::OnSelectDateToggle},
    {"按钮_查找", Event::Click, &MainWindow::OnSearchClick},
    {"日期框_开始", Event::Changed, &MainWindow::OnStartDateChanged},
    {"日期框_终止", Event::Changed, &MainWindow::OnEndDateChanged},
};

const MainWindow::MenuBinding MainWindow::kMenuBindings[] = {
    {"全部清空重写", &MainWindow::OnClearAllMenu},
    {"&X退出查询", &MainWindow::OnExitQueryMenu},
    {"&U用户管理", &MainWindow::OnUserManagementMenu},
    {"设置系统默认显示方式", &MainWindow::OnDisplayModeMenu},
    {"&M设置单位名称", &MainWindow::OnUnitNameMenu},
    {"&D数据备份", &MainWindow::OnBackupMenu},
    {"&H数据恢复", &MainWindow::OnRestoreMenu},
    {"&A关于", &MainWindow::OnAboutMenu},
    {"关闭软件", &MainWindow::OnCloseProgramMenu},
};

void MainWindow::Attach() {
  for (const Binding& b : kBindings) m_.On(b.unit, b.event, Call(b.handler));
  for (const MenuBinding& b : kMenuBindings) m_.OnMenu(b.item, Call(b.handler));
  for (int i = 0; i < 13; ++i) {
    m_.On(kFields[i], Event::LeftButtonUp, [this, i](rt::EventArgs&) { OnRegistrationClick(i); });
    m_.On(kFields[i], Event::KeyDown, [this, i](rt::EventArgs& a) { OnRegistrationKeyDown(i, a.key); });
  }
}

void MainWindow::OnMainWindowCreated(rt::EventArgs&) {
  ProgramState& p = Program();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  p.SkinNumber = 1 + std::rand() % 33;
  ApplySkin();
  SetListBackground(window_.Control(kList), true, true);
  p.main_window = &window_;
  if (!OpenDatabase()) {
    window_.Destroy();
    return;
  }
  ReadUnitName();
  RunLogin(window_);
  if (p.CurrentUserName.empty()) {
    // The log-in window was closed without logging in: nobody may use the
    // program, so it ends as the log-in window's own end controls end it.
    rt::ExitProgram(0);
  }
  ApplyUserRights(m_);
  m_.SetText("透明标签_主界面", p.UnitNameText);
  for (const char* unit : {"日期框_开始", "日期框_终止", "透明标签18", "按钮_查找"}) m_.SetVisible(unit, false);
  const rt::UnitState& r = m_.window();
  m_.SetGeometry("", r.left, 0, r.width, r.height);
  zz::DateTime now = rt::Now();
  for (const char* box : {"日期框_现日期", "日期框_开始", "日期框_终止"}) m_.SetDate(box, {now.year, now.month, now.day});
  SetFocus(window_.Control("编辑框_挂号"));
  m_.SetBackground("编辑框_挂号", kHighlight);
  SetupRecordListColumns(m_, kList);
  p.RefreshCurrentPeriod = [this] { ShowCurrentPeriod(); };
  ShowCurrentPeriod();
  SetupStatusBar();
}

void MainWindow::OnMainWindowClosing(rt::EventArgs&) { Program().database.CloseExternalDatabase(); }

// As the window's close key: the closing event closes the database first.
void MainWindow::OnCloseProgramMenu(rt::EventArgs&) { window_.Close(); }

void MainWindow::OnClockTimer(rt::EventArgs&) {
  m_.SetPanelText("状态条_主", 2, "当前系统时间：" + zz::FormatDateTime(rt::Now()));
}

bool MainWindow::OpenDatabase() {
  std::string path = RunDirectory() + "\\ml.mdb";
  if (Program().database.OpenExternalDatabase(path, "", kDatabasePassword, false, true)) return true;
  if (!rt::FileExists(path)) rt::ShowMessage("数据库文件可能丢失！请联系作者！", "", 0);
  rt::ShowMessage("无法连接数据库", "", 0);
  return false;
}

void MainWindow::SetupStatusBar() {
  ProgramState& p = Program();
  const char* bar = "状态条_主";
  m_.AddPanel(bar, 140);
  m_.SetPanelText(bar, 0, "当前用户：" + p.CurrentUserName);
  m_.AddPanel(bar, 280);
  m_.SetPanelText(bar, 1, p.UnitNameText.empty() ? "您还没有设置使用单位的名称！" : "用户单位：" + p.UnitNameText);
  m_.AddPanel(bar, 270);
  m_.AddPanel(bar, -1);
  m_.SetPanelText(bar, 3, "感谢您的使用！");
}

void MainWindow::RecomputeTotals() {
  FigureTexts in;
  for (int i = 0; i < 13; ++i) in.fields[i] = m_.Get(kFields[i]).text;
  TotalTexts t = keeper::RecomputeTotals(in);
  m_.SetText("编辑框_医疗收入合计", t.medical);
  m_.SetText("编辑框_药品收入合计", t.drugs);
  m_.SetText("透明标签_总计收入", t.total);
  m_.SetText("透明标签_各项收入总合计", t.grand_total);
}

void MainWindow::RecomputeAndClearHighlight() {
  RecomputeTotals();
  HighlightOnly(-1);
}

void MainWindow::HighlightEntryField(const std::array<rt::Colour, 13>& colours) {
  for (int i = 0; i < 13; ++i) m_.SetBackground(kFields[i], colours[i] ? colours[i] : kNormal);
}

void MainWindow::HighlightOnly(int field) {
  std::array<rt::Colour, 13> colours{};
  if (field >= 0) colours[field] = kHighlight;
  HighlightEntryField(colours);
}

void MainWindow::OnRegistrationClick(int field) {
  RecomputeTotals();
  HighlightOnly(field);
}

void MainWindow::OnRegistrationKeyDown(int field, int key) {
  if (key != VK_RETURN) return;
  RecomputeTotals();
  m_.SetBackground(kFields[field], kNormal);
  if (field + 1 < 13) {
    SetFocus(window_.Control(kFields[field + 1]));
    m_.SetBackground(kFields[field + 1], kHighlight);
    return;
  }
  SetFocus(window_.Control("按钮_增加"));
  m_.SetText("按钮_增加", "确认增加？");
  add_armed_ = true;
}

void MainWindow::ClearEntryFields() {
  zz::DateTime now = rt::Now();
  m_.SetDate("日期框_现日期", now);
  for (const char* field : kFields) m_.SetText(field, "");
  m_.SetText("编辑框_医疗收入合计", "");
  m_.SetText("编辑框_药品收入合计", "");
  m_.SetText("透明标签_总计收入", kWaiting);
  m_.SetText("透明标签_各项收入总合计", kWaiting);
}

IncomeRecord MainWindow::RecordValues() {
  const zz::DateTime& d = m_.Get("日期框_现日期").date;
  auto text = [this](const char* unit) { return m_.Get(unit).text; };
  return {zz::FormatDateTime({d.year, d.month, d.day}),
          text("编辑框_挂号"), text("编辑框_B超"), text("编辑框_治疗"), text("编辑框_多普勒"),
          text("编辑框_手术"), text("编辑框_化验"), text("编辑框_其它"), text("编辑框_心电图"),
          text("编辑框_X光"), text("编辑框_医疗收入合计"), text("编辑框_人次"), text("编辑框_中药"),
          text("编辑框_西药"), text("编辑框_药品收入合计"), text("透明标签_总计收入"),
          text("编辑框_防疫收入"), text("透明标签_各项收入总合计")};
}

// Each figure must be a number: "1,234.50" or "50元" would be stored as
// typed while the totals read only their leading digits. A full-width
// figure is shown, and stored, in its ASCII form.
bool MainWindow::FiguresAreNumbers() {
  FigureTexts figures;
  for (int i = 0; i < 13; ++i) figures.fields[i] = m_.Get(kFields[i]).text;
  int refused = MakeFiguresPlain(&figures);
  for (int i = 0; i < (refused < 0 ? 13 : refused); ++i)
    if (m_.Get(kFields[i]).text != figures.fields[i]) m_.SetText(kFields[i], figures.fields[i]);
  if (refused < 0) return true;
  HighlightOnly(refused);
  rt::ShowMessage(std::string(kFieldLabels[refused]) + "：请输入数字！", "警告", 48, window_.hwnd());
  SetFocus(window_.Control(kFields[refused]));
  return false;
}

// True when another row than `except` already holds the date.
bool DateTaken(const zz::DateTime& day, long long except) {
  mdb::DatabaseConnection& db = Program().database;
  int h = db.OpenRecordset(DuplicateDateQuery(day) + (except ? " and [编号]<>" + std::to_string(except) : ""));
  db.MoveFirst(h);
  bool taken = !ReadText(h, "日期").empty();
  db.CloseRecordset(h);
  return taken;
}

// The add button adds once per press: on its click, or on Enter when the
// last field's Enter armed it. Tab and Space do not add a second time.
void MainWindow::OnAddRecordClick(rt::EventArgs&) { AddRecord(); }

void MainWindow::OnAddRecordKeyDown(rt::EventArgs& a) {
  if (add_armed_ && a.key == VK_RETURN) AddRecord();
}

void MainWindow::AddRecord() {
  add_armed_ = false;
  m_.SetText("按钮_增加", "增加");
  HighlightOnly(-1);
  if (!FiguresAreNumbers()) return;
  if (DateTaken(m_.Get("日期框_现日期").date, 0)) {
    rt::ShowMessage("不可以重复增加日期相同的数据。", "警告", 48, window_.hwnd());
    SetFocus(window_.Control("日期框_现日期"));
    return;
  }
  RecomputeTotals();
  if (!Program().database.ExecuteStatement(InsertRecord(RecordValues()))) {
    rt::ShowMessage("Sorry! 你的数据无法增加！", "失败", 16, window_.hwnd());
    return;
  }
  rt::ShowMessage("Ok! 您的数据已经增加到了数据库中！", "成功", 64, window_.hwnd());
  ClearEntryFields();
  RefreshAfterChange(&Program().quiet_after_add);
}

void MainWindow::OnModifyRecordClick(rt::EventArgs&) {
  RecomputeTotals();
  HighlightOnly(-1);
  int row = m_.Get(kList).selection;
  if (row < 0) {
    rt::ShowMessage("请您选择一条要进行修改的数据！", "提示", 64, window_.hwnd());
    return;
  }
  long long key = m_.ItemData(kList, row);
  if (!FiguresAreNumbers()) return;
  RecomputeTotals();
  // One row per date: a date that another row holds is refused, as on add.
  if (DateTaken(m_.Get("日期框_现日期").date, key)) {
    rt::ShowMessage("不可以重复增加日期相同的数据。", "警告", 48, window_.hwnd());
    return;
  }
  // A row that is no longer there (a restore, or another copy of the
  // program, removed it) takes nothing: that is no success.
  mdb::DatabaseConnection& db = Program().database;
  const bool ran = db.ExecuteStatement(UpdateRecord(RecordValues(), key));
  if (!ran || db.ChangedRows() == 0) {
    rt::ShowMessage("Sorry! 修改失败！", "失败", 16, window_.hwnd());
    if (ran) RefreshAfterChange(&Program().quiet_after_modify);
    return;
  }
  rt::ShowMessage("Ok! 您的数据已经修改成功！", "成功", 64, window_.hwnd());
  ClearEntryFields();
  RefreshAfterChange(&Program().quiet_after_modify);
}

void MainWindow::OnDeleteRecordClick(rt::EventArgs&) {
  int row = m_.Get(kList).selection;
  if (row < 0) {
    rt::ShowMessage("请您选择一条要进行删除的数据！", "提示", 64, window_.hwnd());
    return;
  }
  mdb::DatabaseConnection& db = Program().database;
  const bool ran = db.ExecuteStatement(DeleteRecord(m_.ItemData(kList, row)));
  if (!ran || db.ChangedRows() == 0) {
    rt::ShowMessage("Sorry! 删除失败", "失败", 16, window_.hwnd());
    if (ran) RefreshAfterChange(&Program().quiet_after_delete);
    return;
  }
  rt::ShowMessage("Ok! 删除成功", "成功", 64, window_.hwnd());
  ClearEntryFields();
  RefreshAfterChange(&Program().quiet_after_delete);
}

void MainWindow::OnFiveDayReportClick(rt::EventArgs&) {
  // Read afresh at every click: a missing file or key means month end.
  bool on25 = rt::IniRead(SettingsPath(), kSettingsSection, kKeyOn25th, "") == "1";
  Program().SettlementOn25th = on25;
  FiveDayCheckInput in;
  in.on_25th = on25;
  in.range_mode = m_.Get("按钮_查找").checked;
  in.start = m_.Get("日期框_开始").date;
  in.end = m_.Get("日期框_终止").date;
  in.list_rows = m_.ItemCount(kList);
  in.today = rt::Now();
  ReportCheck check = CheckFiveDayPrecondition(in);
  if (check != ReportCheck::Ok) {
    rt::ShowMessage(FiveDayWarningText(check), "警告", 48, window_.hwnd());
    return;
  }
  ShowSettlementModeWindow(window_);
}

void MainWindow::RefreshAfterChange(bool* quiet_flag) {
  if (m_.Get("按钮_查找").checked) {
    *quiet_flag = true;
    rt::EventArgs search{"按钮_查找", Event::Click};
    OnSearchClick(search);
  } else {
    ShowCurrentPeriod();
  }
}

// The list shows the restored file at once: a day it lacks must not stay
// there to be modified in vain.
void MainWindow::OnRestoreMenu(rt::EventArgs&) {
  if (RestoreDatabase(window_)) RefreshAfterChange(&Program().quiet_after_modify);
}

void MainWindow::OnRecordSelected(rt::EventArgs& a) {
  const int row = a.item;
  if (row < 0) return;
  mdb::DatabaseConnection& db = Program().database;
  int h = db.OpenRecordset(SelectRecord(m_.ItemData(kList, row)));
  db.MoveFirst(h);
  if (db.IsEOF(h)) {
    db.CloseRecordset(h);
    return;
  }
  m_.SetDate("日期框_现日期", ReadDate(h, "日期"));
  for (int i = 0; i < 13; ++i) m_.SetText(kFields[i], ReadText(h, kFieldColumns[i]));
  m_.SetText("编辑框_医疗收入合计", ReadText(h, "医疗收入合计"));
  m_.SetText("编辑框_药品收入合计", ReadText(h, "药品收入合计"));
  m_.SetText("透明标签_总计收入", ReadText(h, "医疗加药品总计收入"));
  m_.SetText("透明标签_各项收入总合计", ReadText(h, "各项收入总合计"));
  db.CloseRecordset(h);
}

void MainWindow::FillRecordList(const std::string& sql) {
  keeper::FillRecordList(m_, kList, Program().database, sql);
}

void MainWindow::ShowCurrentPeriod() {
  std::string ini = SettingsPath();
  SettlementMode mode = ModeFromKeys(rt::IniRead(ini, kSettingsSection, kKeyOn25th, ""),
                                     rt::IniRead(ini, kSettingsSection, kKeyOnMonthEnd, ""));
  if (mode != SettlementMode::Invalid) {
    FillRecordList(mode == SettlementMode::On25th ? QueryPeriod25th(rt::Now()) : QueryPeriodMonth(rt::Now()));
    return;
  }
  if (!rt::FileExists(ini))
    rt::ShowMessage("系统文件丢失，请重新设置系统的默认显示方式！", "警告", 16, window_.hwnd());
  else
    rt::ShowMessage("系统文件配置错误，请重新设置系统的默认显示方式,", "警告", 16, window_.hwnd());
  ShowDisplayModeWindow(&window_, true);
}

void MainWindow::OnSearchClick(rt::EventArgs&) {
  ProgramState& p = Program();
  FillRecordList(RangeQuery(m_.Get("日期框_开始").date, m_.Get("日期框_终止").date));
  if (!m_.Get("按钮_查找").checked) {
    p.RefreshCurrentPeriod();
    return;
  }
  for (bool* flag : {&p.quiet_after_modify, &p.quiet_after_delete, &p.quiet_after_add})
    if (*flag) {
      *flag = false;
      return;
    }
  rt::ShowMessage("本次查询共为您找到了  " + std::to_string(m_.ItemCount(kList)) + "  条记录！", "查询完毕",
                  64, window_.hwnd());
}

void MainWindow::OnSelectDateToggle(rt::EventArgs&) {
  bool range = m_.Get("按钮_选择日期").checked;
  m_.SetVisible("透明标签_主界面", !range);
  for (const char* unit : {"日期框_开始", "日期框_终止", "透明标签18", "按钮_查找"}) m_.SetVisible(unit, range);
}

void MainWindow::RangeDateChanged() {
  if (!m_.Get("按钮_查找").checked) return;
  m_.SetChecked("按钮_查找", false);
  Program().RefreshCurrentPeriod();
}

void MainWindow::OnExitQueryMenu(rt::EventArgs&) {
  Program().RefreshCurrentPeriod();
  m_.SetChecked("按钮_查找", false);
}

}  // namespace

void ExitCleanup() {
  ProgramState& p = Program();
  p.CurrentUserName.clear();
  p.UnitNameText.clear();
  p.RefreshCurrentPeriod = nullptr;
}

int ProgramStart() {
  // Built before the exit routine is registered, so that they are still
  // there when it runs.
  Program();
  std::atexit(ExitCleanup);
  static MainWindow main;
  if (!rt::Loader::Instance().LoadModeless(main.window(), nullptr)) return 1;
  return rt::Loader::Instance().RunMessageLoop();
}

}  // namespace keeper
