// Skinning of one window: what kind of window it is, and the subclass that
// gives it the skin's colours.
#pragma once

#include <windows.h>

namespace zz::skin {

enum class WindowKind {
  None,        // left alone: menus, tooltips, IME and other system pop-ups
  Surface,     // top-level windows, dialogs and containers: background,
               // control colours for their children, list rows, menus
  PushButton,  // also push-like check boxes and radio buttons
  CheckBox,
  RadioButton,
  GroupBox,
  Edit,
  ComboBox,    // drop-down kinds; a simple combo box is left alone
  ListBox,
  ListView,
  Header,
  StatusBar,
  DatePicker,
  Calendar,
  Progress,
};

WindowKind ClassifyWindow(const wchar_t* class_name, LONG style);

// Subclasses `hwnd` as `kind` (once; later calls do nothing). When
// `created` the window has been through WM_CREATE and takes its colours now;
// otherwise it takes them when WM_CREATE has run.
void SkinWindow(HWND hwnd, WindowKind kind, bool created);

// Skins `hwnd` and its descendants (those of the calling thread) by their
// class, for windows that existed before the skin was attached.
void SkinExistingTree(HWND hwnd);

// After the skin changed: gives `hwnd` and its descendants the new colours
// and repaints them.
void RefreshTree(HWND hwnd);

// Applies the desktop frame setting to a skinned top-level window.
void ApplyFrameSetting(HWND hwnd);

}  // namespace zz::skin
