#include "window_model.h"

#include <stdexcept>

namespace rt {
namespace {

void CollectMenuCaptions(const std::vector<MenuItemTemplate>& items,
                         std::map<std::string, bool>& out) {
  for (const MenuItemTemplate& item : items) {
    out[item.caption] = true;
    CollectMenuCaptions(item.items, out);
  }
}

// A canvas without a colour of its own is white, as a sheet to draw on.
Colour CanvasBackground(const UnitState& s) {
  return s.background == kNoColour ? 0xFFFFFF : s.background;
}

}  // namespace

WindowModel::WindowModel(const WindowTemplate& t) : name_(t.name), template_(t) {
  window_.name = "";
  window_.text = t.caption;
  window_.left = t.left;
  window_.top = t.top;
  window_.width = t.width;
  window_.height = t.height;
  for (const UnitTemplate& u : t.units) {
    UnitState s;
    s.kind = u.kind;
    s.name = u.name;
    s.text = u.caption;
    s.left = u.left;
    s.top = u.top;
    s.width = u.width;
    s.height = u.height;
    s.parent = u.parent;
    s.visible = u.visible;
    s.disabled = u.disabled;
    s.interval = u.interval;
    s.filter = u.filter;
    s.background = u.background;
    s.foreground = u.foreground;
    s.pen = u.pen;
    s.brush = u.brush;
    if (s.kind == UnitKind::Canvas) s.canvas.Resize(s.width, s.height, CanvasBackground(s));
    units_.push_back(std::move(s));
  }
  CollectMenuCaptions(t.menus, menu_enabled_);
}

UnitState* WindowModel::Find(const std::string& unit) {
  if (unit.empty()) return &window_;
  for (UnitState& s : units_)
    if (s.name == unit) return &s;
  return nullptr;
}

UnitState& WindowModel::Get(const std::string& unit) {
  UnitState* s = Find(unit);
  if (!s) throw std::out_of_range("no unit " + unit + " in window " + name_);
  return *s;
}

void WindowModel::On(const std::string& unit, Event event, Handler handler) {
  handlers_[{unit, event}].push_back(std::move(handler));
}

void WindowModel::OnMenu(const std::string& caption, Handler handler) {
  menu_handlers_[caption].push_back(std::move(handler));
}

bool WindowModel::Raise(EventArgs args) {
  auto it = handlers_.find({args.unit, args.event});
  if (it == handlers_.end()) return false;
  // Handlers may attach further handlers: run a copy.
  std::vector<Handler> run = it->second;
  for (Handler& h : run) h(args);
  return true;
}

bool WindowModel::RaiseMenu(const std::string& caption) {
  if (!MenuEnabled(caption)) return false;
  auto it = menu_handlers_.find(caption);
  if (it == menu_handlers_.end()) return false;
  std::vector<Handler> run = it->second;
  EventArgs args;
  args.event = Event::Click;
  args.menu = caption;
  for (Handler& h : run) h(args);
  return true;
}

void WindowModel::SetText(const std::string& unit, const std::string& text) {
  UnitState& s = Get(unit);
  bool changed = s.text != text;
  s.text = text;
  Changed(s, Property::Text);
  bool edit = s.kind == UnitKind::Edit || s.kind == UnitKind::MultiLineEdit ||
              s.kind == UnitKind::ComboBox;
  if (edit && changed) Raise({unit, s.kind == UnitKind::ComboBox ? Event::ComboTyped : Event::Changed});
}

void WindowModel::SetGeometry(const std::string& unit, int left, int top, int width, int height) {
  UnitState& s = Get(unit);
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  if (s.kind == UnitKind::Canvas) s.canvas.Resize(width, height, CanvasBackground(s));
  Changed(s, Property::Geometry);
}

void WindowModel::SetVisible(const std::string& unit, bool visible) {
  UnitState& s = Get(unit);
  s.visible = visible;
  Changed(s, Property::Visible);
}

void WindowModel::SetDisabled(const std::string& unit, bool disabled) {
  UnitState& s = Get(unit);
  s.disabled = disabled;
  Changed(s, Property::Disabled);
}

void WindowModel::SetBackground(const std::string& unit, Colour colour) {
  UnitState& s = Get(unit);
  s.background = colour;
  if (s.kind == UnitKind::Canvas) s.canvas.Clear(CanvasBackground(s));
  Changed(s, Property::Colours);
}

void WindowModel::SetForeground(const std::string& unit, Colour colour) {
  UnitState& s = Get(unit);
  s.foreground = colour;
  Changed(s, Property::Colours);
}

void WindowModel::SetChecked(const std::string& unit, bool checked) {
  UnitState& s = Get(unit);
  s.checked = checked;
  Changed(s, Property::Checked);
}

void WindowModel::SetDate(const std::string& unit, const zz::DateTime& date) {
  UnitState& s = Get(unit);
  s.date = date;
  Changed(s, Property::Date);
}

void WindowModel::SetSelection(const std::string& unit, int index) {
  UnitState& s = Get(unit);
  int count = static_cast<int>(s.kind == UnitKind::ListView ? s.rows.size() : s.entries.size());
  s.selection = index >= 0 && index < count ? index : -1;
  if (s.kind == UnitKind::ComboBox && s.selection >= 0) s.text = s.entries[s.selection];
  Changed(s, Property::Selection);
}

void WindowModel::SetMenuEnabled(const std::string& caption, bool enabled) {
  auto it = menu_enabled_.find(caption);
  if (it == menu_enabled_.end()) throw std::out_of_range("no menu item " + caption);
  it->second = enabled;
  UnitState item;
  item.name = caption;
  item.disabled = !enabled;
  Changed(item, Property::MenuItem);
}

bool WindowModel::MenuEnabled(const std::string& caption) const {
  auto it = menu_enabled_.find(caption);
  return it != menu_enabled_.end() && it->second;
}

void WindowModel::InsertColumn(const std::string& unit, const std::string& title, int width,
                               bool centred) {
  UnitState& s = Get(unit);
  s.columns.push_back({title, width, centred});
  Changed(s, Property::Columns);
}

void WindowModel::DeleteAllItems(const std::string& unit) {
  UnitState& s = Get(unit);
  s.rows.clear();
  s.selection = -1;
  Changed(s, Property::Rows);
}

int WindowModel::InsertItem(const std::string& unit, const std::string& text, long long data) {
  UnitState& s = Get(unit);
  ListRow row;
  row.cells.assign(s.columns.empty() ? 1 : s.columns.size(), std::string());
  row.cells[0] = text;
  row.data = data;
  s.rows.push_back(std::move(row));
  s.changed_row = static_cast<int>(s.rows.size()) - 1;
  Changed(s, Property::RowAdded);
  return s.changed_row;
}

void WindowModel::SetItemText(const std::string& unit, int row, int column,
                              const std::string& text) {
  UnitState& s = Get(unit);
  if (row < 0 || row >= static_cast<int>(s.rows.size()) || column < 0) return;
  auto& cells = s.rows[row].cells;
  if (column >= static_cast<int>(cells.size())) cells.resize(column + 1);
  cells[column] = text;
  s.changed_row = row;
  s.changed_column = column;
  Changed(s, Property::CellText);
}

int WindowModel::ItemCount(const std::string& unit) {
  return static_cast<int>(Get(unit).rows.size());
}

long long WindowModel::ItemData(const std::string& unit, int row) {
  UnitState& s = Get(unit);
  return row >= 0 && row < static_cast<int>(s.rows.size()) ? s.rows[row].data : 0;
}

void WindowModel::AddEntry(const std::string& unit, const std::string& text) {
  UnitState& s = Get(unit);
  s.entries.push_back(text);
  Changed(s, Property::Entries);
}

int WindowModel::AddPanel(const std::string& unit, int width) {
  UnitState& s = Get(unit);
  s.panels.push_back({width, ""});
  Changed(s, Property::Panels);
  return static_cast<int>(s.panels.size()) - 1;
}

void WindowModel::SetPanelText(const std::string& unit, int panel, const std::string& text) {
  UnitState& s = Get(unit);
  if (panel < 0 || panel >= static_cast<int>(s.panels.size())) return;
  s.panels[panel].text = text;
  Changed(s, Property::Panels);
}

void WindowModel::SetInterval(const std::string& unit, int milliseconds) {
  UnitState& s = Get(unit);
  s.interval = milliseconds > 0 ? milliseconds : 0;
  Changed(s, Property::Interval);
}

void WindowModel::SetPenColour(const std::string& unit, Colour colour) {
  UnitState& s = Get(unit);
  s.pen = colour;
  Changed(s, Property::Colours);
}

void WindowModel::SetBrushColour(const std::string& unit, Colour colour) {
  UnitState& s = Get(unit);
  s.brush = colour;
  Changed(s, Property::Colours);
}

void WindowModel::DrawRectangle(const std::string& unit, int left, int top, int right, int bottom) {
  UnitState& s = Get(unit);
  // Unset colours draw as the platform's default pen and brush would.
  s.canvas.Rectangle(left, top, right, bottom, s.pen == kNoColour ? 0x000000 : s.pen,
                     s.brush == kNoColour ? 0xFFFFFF : s.brush);
  Changed(s, Property::Pixels);
}

std::string WindowModel::Picture(const std::string& unit) { return Get(unit).canvas.Bmp(); }

void WindowModel::SetFolder(const std::string& unit, const std::string& folder) {
  Get(unit).folder = folder;
}

void WindowModel::SetFileName(const std::string& unit, const std::string& name) {
  Get(unit).file_name = name;
}

bool WindowModel::OpenDialog(const std::string& unit) {
  UnitState& s = Get(unit);
  return show_dialog && show_dialog(s);
}

void WindowModel::UserTyped(const std::string& unit, const std::string& text) {
  UnitState& s = Get(unit);
  if (s.text == text) return;
  s.text = text;
  Raise({unit, s.kind == UnitKind::ComboBox ? Event::ComboTyped : Event::Changed});
}

void WindowModel::UserSelected(const std::string& unit, int row) {
  UnitState& s = Get(unit);
  if (s.kind == UnitKind::ComboBox) {
    if (row < 0 || row >= static_cast<int>(s.entries.size())) return;
    s.selection = row;
    s.text = s.entries[row];
    Raise({unit, Event::ComboChosen});
    return;
  }
  // Only a newly selected row counts: deselection and focus changes do not.
  if (row < 0) {
    s.selection = -1;
    return;
  }
  if (row >= static_cast<int>(s.rows.size()) || row == s.selection) return;
  s.selection = row;
  EventArgs args{unit, Event::ItemChanged};
  args.item = row;
  Raise(args);
}

void WindowModel::UserChecked(const std::string& unit, bool checked) {
  UnitState& s = Get(unit);
  s.checked = checked;
  // Radio buttons of one container exclude one another.
  if (s.kind == UnitKind::RadioButton && checked)
    for (UnitState& other : units_)
      if (&other != &s && other.kind == UnitKind::RadioButton && other.parent == s.parent &&
          other.checked) {
        other.checked = false;
        Changed(other, Property::Checked);
      }
  Raise({unit, Event::Click});
}

void WindowModel::UserPickedDate(const std::string& unit, const zz::DateTime& date) {
  UnitState& s = Get(unit);
  if (s.date == date) return;
  s.date = date;
  Raise({unit, Event::Changed});
}

}  // namespace rt
