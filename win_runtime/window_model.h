// The runtime's own record of a window and its units. Handlers read and
// write properties here; the Win32 layer mirrors every change onto the real
// controls and feeds what the user does back in. Without Win32 (natively,
// in tests) the model alone runs the handlers.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "canvas.h"
#include "date_text.h"
#include "unit_kinds.h"
#include "window_template.h"

namespace rt {

struct ListColumn {
  std::string title;
  int width = 0;
  bool centred = false;
};

struct ListRow {
  std::vector<std::string> cells;
  long long data = 0;
};

struct StatusPanel {
  int width = -1;  // -1 takes the rest of the bar
  std::string text;
};

struct UnitState {
  UnitKind kind = UnitKind::Label;
  std::string name;
  std::string text;  // caption or content, GBK
  int left = 0, top = 0, width = 0, height = 0;
  std::string parent;
  bool visible = true;
  bool disabled = false;
  Colour background = kNoColour;
  Colour foreground = kNoColour;
  bool checked = false;
  zz::DateTime date;
  int selection = -1;                // list view row or combo entry
  std::vector<std::string> entries;  // combo box
  std::vector<ListColumn> columns;   // list view
  std::vector<ListRow> rows;         // list view
  std::vector<StatusPanel> panels;   // status bar
  int interval = 0;                  // timer
  std::string filter;                // open-file dialog
  std::string folder;                // open-file dialog: where it starts
  std::string file_name;             // open-file dialog: the chosen file
  Colour pen = kNoColour;            // canvas
  Colour brush = kNoColour;          // canvas
  PixelCanvas canvas;
  void* attachment = nullptr;        // database or grid the program attaches
  // The row and cell a RowAdded or CellText change is about.
  int changed_row = -1, changed_column = -1;
};

// What changed, for the mirror.
enum class Property {
  Text, Geometry, Visible, Disabled, Colours, Checked, Date, Selection, Entries, Columns,
  Rows,      // all rows replaced (delete all)
  RowAdded,  // one row appended: changed_row
  CellText,  // one cell: changed_row, changed_column
  Panels, Interval, MenuItem,
  Pixels  // a canvas was drawn on
};

struct EventArgs {
  std::string unit;  // "" for the window itself
  Event event = Event::Created;
  int key = 0;        // KeyDown
  int item = -1;      // ItemChanged: the newly selected row
  std::string menu;   // menu item chosen: its caption
};

using Handler = std::function<void(EventArgs&)>;

class WindowModel {
 public:
  explicit WindowModel(const WindowTemplate& t);

  const std::string& name() const { return name_; }
  const WindowTemplate& window_template() const { return template_; }
  UnitState& window() { return window_; }
  // Null for an unknown name: a typing error in a handler shows at once in
  // the tests rather than acting on some other unit.
  UnitState* Find(const std::string& unit);
  UnitState& Get(const std::string& unit);
  const std::vector<UnitState>& units() const { return units_; }

  void On(const std::string& unit, Event event, Handler handler);
  void OnMenu(const std::string& caption, Handler handler);
  // Runs the handlers of (unit, event); true when there was one.
  bool Raise(EventArgs args);
  bool RaiseMenu(const std::string& caption);

  // Property writes. Text on an edit box raises Changed, as typing does;
  // date, check state and selection raise nothing, as Win32 would not.
  void SetText(const std::string& unit, const std::string& text);
  void SetGeometry(const std::string& unit, int left, int top, int width, int height);
  void SetVisible(const std::string& unit, bool visible);
  void SetDisabled(const std::string& unit, bool disabled);
  void SetBackground(const std::string& unit, Colour colour);
  void SetForeground(const std::string& unit, Colour colour);
  void SetChecked(const std::string& unit, bool checked);
  void SetDate(const std::string& unit, const zz::DateTime& date);
  void SetSelection(const std::string& unit, int index);
  void SetMenuEnabled(const std::string& caption, bool enabled);
  bool MenuEnabled(const std::string& caption) const;

  // List view commands.
  void InsertColumn(const std::string& unit, const std::string& title, int width, bool centred);
  void DeleteAllItems(const std::string& unit);
  int InsertItem(const std::string& unit, const std::string& text, long long data);
  void SetItemText(const std::string& unit, int row, int column, const std::string& text);
  int ItemCount(const std::string& unit);
  long long ItemData(const std::string& unit, int row);

  // Combo box entries; status bar panels.
  void AddEntry(const std::string& unit, const std::string& text);
  int AddPanel(const std::string& unit, int width);
  void SetPanelText(const std::string& unit, int panel, const std::string& text);

  // Timers: 0 stops one.
  void SetInterval(const std::string& unit, int milliseconds);

  // Canvas commands. A canvas is as large as its unit; a new background
  // colour clears it.
  void SetPenColour(const std::string& unit, Colour colour);
  void SetBrushColour(const std::string& unit, Colour colour);
  void DrawRectangle(const std::string& unit, int left, int top, int right, int bottom);
  // The canvas's picture as the bytes of a BMP file.
  std::string Picture(const std::string& unit);

  // Open-file dialogs: where the dialog starts and the file it returned.
  void SetFolder(const std::string& unit, const std::string& folder);
  void SetFileName(const std::string& unit, const std::string& name);
  // Shows the dialog modally, owned by the window; true when the user
  // chose a file, which is then in the unit's file_name. Without a Win32
  // layer to show it, nothing is chosen.
  bool OpenDialog(const std::string& unit);

  // Changes made by the user through the real controls: the model takes
  // the new value without mirroring it back, then raises the event.
  void UserTyped(const std::string& unit, const std::string& text);
  void UserSelected(const std::string& unit, int row);
  void UserChecked(const std::string& unit, bool checked);
  void UserPickedDate(const std::string& unit, const zz::DateTime& date);

  // The Win32 layer listens here to mirror each change.
  std::function<void(UnitState&, Property)> mirror;
  // ... and shows dialogs here.
  std::function<bool(UnitState&)> show_dialog;

 private:
  void Changed(UnitState& unit, Property what) {
    if (mirror) mirror(unit, what);
  }

  std::string name_;
  WindowTemplate template_;
  UnitState window_;
  std::vector<UnitState> units_;
  std::map<std::pair<std::string, Event>, std::vector<Handler>> handlers_;
  std::map<std::string, std::vector<Handler>> menu_handlers_;
  std::map<std::string, bool> menu_enabled_;
};

}  // namespace rt
