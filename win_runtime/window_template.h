// Windows of the main program are declared as data:
//
//   const rt::WindowTemplate kAbout = {
//       "AboutWindow", "关于", 300, 200, 360, 240, rt::Border::Dialog,
//       {{rt::UnitKind::Label, "标签1", "版本 1.0", 20, 20, 300, 24},
//        {rt::UnitKind::Button, "超级按钮1", "确定", 130, 160, 96, 31}},
//       {}};
//
// and their handlers attached by unit name and event:
//
//   window.On("超级按钮1", rt::Event::Click, [&](rt::EventArgs&) { window.Destroy(); });
//
// Positions are pixels; a unit with a parent (such as "分组框1") is placed
// relative to it.
#pragma once

#include <string>
#include <vector>

#include "unit_kinds.h"

namespace rt {

enum class Border { Normal, Dialog, Fixed, None };

struct UnitTemplate {
  UnitKind kind;
  const char* name;
  const char* caption = "";
  int left = 0, top = 0, width = 0, height = 0;
  const char* parent = "";  // a group box's name, or "" for the window
  bool visible = true;
  bool disabled = false;
  int interval = 0;  // timers: milliseconds; 0 = not running
  // Open-file dialogs: title in caption, "|"-separated filter here.
  const char* filter = "";
  // Colours the unit starts with; kNoColour leaves the platform's. A canvas
  // draws outlines in its pen colour and fills them with its brush colour.
  Colour background = kNoColour;
  Colour foreground = kNoColour;
  Colour pen = kNoColour;
  Colour brush = kNoColour;
};

struct MenuItemTemplate {
  const char* caption;  // "&U用户管理": the letter after '&' is the access key
  std::vector<MenuItemTemplate> items;
  bool hidden = false;  // top-level menus kept out of the bar serve as pop-ups
};

struct WindowTemplate {
  const char* name;
  const char* caption;
  int left = 0, top = 0, width = 0, height = 0;
  Border border = Border::Normal;
  std::vector<UnitTemplate> units;
  std::vector<MenuItemTemplate> menus;
};

}  // namespace rt
