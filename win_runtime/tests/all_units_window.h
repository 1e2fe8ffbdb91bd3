// A window with a unit of every kind, shared by the runtime's window tests
// and the demo photographed under Wine.
#pragma once

#include "window_template.h"

namespace rt_test {

inline rt::UnitTemplate Coloured(rt::UnitTemplate unit, rt::Colour background, rt::Colour pen,
                                 rt::Colour brush) {
  unit.background = background;
  unit.pen = pen;
  unit.brush = brush;
  return unit;
}

constexpr rt::Colour kCanvasPaper = 0xFFF8F4;
constexpr rt::Colour kCanvasPen = 0x804000;
constexpr rt::Colour kCanvasBrush = 0xC0E0FF;

inline const rt::WindowTemplate kAll = {
    "AllUnits", "全部单位", 40, 40, 640, 420, rt::Border::Normal,
    {{rt::UnitKind::TransparentLabel, "透明标签1", "日  期：", 8, 12, 58, 24},
     {rt::UnitKind::Label, "标签1", "普通标签", 8, 40, 80, 24},
     {rt::UnitKind::Edit, "编辑框_挂号", "", 80, 8, 100, 24},
     {rt::UnitKind::MultiLineEdit, "编辑框_说明", "第一行\r\n第二行", 200, 8, 160, 50},
     {rt::UnitKind::DateBox, "日期框_现日期", "", 380, 8, 128, 24},
     {rt::UnitKind::Button, "按钮_增加", "增  加", 8, 70, 96, 31},
     {rt::UnitKind::CheckBox, "选择框1", "选择", 110, 70, 80, 31},
     {rt::UnitKind::PushCheckBox, "按钮_查找", "查  找", 200, 70, 96, 31},
     {rt::UnitKind::RadioButton, "单选框1", "按月", 300, 70, 80, 31},
     {rt::UnitKind::GroupBox, "分组框1", "合计", 8, 110, 400, 56},
     {rt::UnitKind::TransparentLabel, "透明标签_总计收入", "等待计算……", 4, 20, 141, 24, "分组框1"},
     {rt::UnitKind::ComboBox, "组合框_用户名", "", 420, 110, 150, 24},
     {rt::UnitKind::ListView, "超级列表框_数据显示", "", 0, 170, 620, 160},
     {rt::UnitKind::StatusBar, "状态条_主", "", 0, 340, 620, 20},
     {rt::UnitKind::Timer, "时钟1", "", 0, 0, 0, 0, "", true, false, 0},
     {rt::UnitKind::ExternalDatabase, "外部数据库_ml"},
     Coloured({rt::UnitKind::Canvas, "画板", "", 420, 40, 150, 60}, kCanvasPaper, kCanvasPen,
              kCanvasBrush),
     {rt::UnitKind::OpenFileDialog, "通用对话框1", "选择已有的备份文件", 0, 0, 0, 0, "", true, false, 0,
      "备份文件|*.ml"}},
    {{"&G用户", {{"&U用户管理"}}}, {"右键", {{"&X退出查询"}}, true}}};

}  // namespace rt_test
