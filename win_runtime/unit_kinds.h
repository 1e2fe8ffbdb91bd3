// The kinds of units a window of the main program is made of, the events
// they raise, and the colours they carry.
#pragma once

#include <cstdint>

namespace rt {

enum class UnitKind {
  TransparentLabel,
  Label,
  Edit,
  MultiLineEdit,  // read-only, several lines
  DateBox,
  Button,
  CheckBox,
  PushCheckBox,  // a check box drawn as a push button
  RadioButton,
  GroupBox,
  ComboBox,  // editable
  ListView,  // report style
  StatusBar,
  Timer,
  Canvas,
  OpenFileDialog,
  ExternalDatabase,  // no control: the program attaches its database
  Grid,              // no control: the program attaches its report grid
};

// Events a handler can be attached to. A window raises Created and Closing;
// units raise the rest as their kind allows.
enum class Event {
  Created,          // window: after it exists, so a handler may destroy it
  Closing,          // window: the user or the program closes it
  Click,            // buttons, check boxes, labels, menu items
  Changed,          // edit text, date value, check state
  KeyDown,          // key code in EventArgs::key
  LeftButtonDown,   // units
  LeftButtonUp,     // units and the window's free area
  RightButtonDown,  // units and the window's free area
  ItemChanged,      // list view: a new item became selected
  ComboChosen,      // combo box: an entry was chosen from the list
  ComboTyped,       // combo box: its text was edited by typing
  TimerTick,
};

// A COLORREF as Windows writes it: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour kNoColour = 0xFFFFFFFFu;

// True for kinds that have no window of their own.
inline bool HasNoControl(UnitKind kind) {
  return kind == UnitKind::Timer || kind == UnitKind::OpenFileDialog ||
         kind == UnitKind::ExternalDatabase || kind == UnitKind::Grid;
}

}  // namespace rt
