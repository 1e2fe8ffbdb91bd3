// A window of the main program on Win32: built from its template, its units
// mirrored from the model onto real controls, and what the user does fed
// back into the model as events.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "window_model.h"

namespace rt {

class RuntimeWindow {
 public:
  explicit RuntimeWindow(const WindowTemplate& t);
  ~RuntimeWindow();
  RuntimeWindow(const RuntimeWindow&) = delete;
  RuntimeWindow& operator=(const RuntimeWindow&) = delete;

  WindowModel& model() { return model_; }
  HWND hwnd() const { return hwnd_; }
  HWND Control(const std::string& unit) const;
  bool IsAlive() const { return hwnd_ != nullptr; }

  // Creates the window and its controls (owned by `owner` when given); the
  // Created event is the loader's to raise.
  bool Create(HWND owner);
  // Closes the window as the user does: its Closing event, then Destroy.
  void Close();
  void Destroy();
  // Opens a hidden top-level menu as a pop-up at the cursor.
  void PopupMenu(const std::string& caption);

  // Public so that the window class can name it.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void OnCommand(WPARAM wp, LPARAM lp);
  LRESULT OnNotify(const NMHDR* header);
  void OnDrawItem(const DRAWITEMSTRUCT* item);
  LRESULT OnControlColour(HDC dc, HWND control, UINT msg);
  void OnDestroy();
  bool OnControlMouseOrKey(UnitState& unit, UINT msg, WPARAM wp);

  void CreateControl(UnitState& unit, int index);
  void BuildMenus();
  void Mirror(UnitState& unit, Property what);
  void MirrorRows(UnitState& unit, HWND list, Property what);
  void MirrorPanels(UnitState& unit, HWND bar);
  void HoldListDrawing(HWND list);
  void ResumeListDrawing();
  UnitState* UnitOf(HWND control);
  POINT Origin(const UnitState& unit);

  WindowModel model_;
  HWND hwnd_ = nullptr;
  std::map<std::string, HWND> controls_;
  std::map<HWND, std::string> names_;
  std::map<UINT_PTR, std::string> timers_;
  std::map<UINT, std::string> menu_ids_;
  std::map<std::string, UINT> menu_by_caption_;
  std::map<std::string, HMENU> popups_;
  HMENU menu_bar_ = nullptr;
  std::map<Colour, HBRUSH> brushes_;
  std::set<HWND> held_lists_;  // lists whose drawing waits for the loop
  int mirroring_ = 0;  // >0 while the model writes to a control
};

}  // namespace rt
