// ListBackgroundWindow: a small window that is never left open and never
// skinned. Its canvas paints the record list's background tile.
#include "list_background.h"
#include "loader.h"
#include "runtime_window.h"

namespace keeper {
namespace {

using rt::Event;
using rt::UnitKind;

rt::UnitTemplate Canvas() {
  rt::UnitTemplate canvas{UnitKind::Canvas, "画板", "", 0, 0, 60, 60};
  // The lower row keeps the background; the rectangle over the upper row
  // is outlined and filled in the row colour.
  canvas.background = kListAlternateColour;
  canvas.pen = kListRowColour;
  canvas.brush = kListRowColour;
  return canvas;
}

const rt::WindowTemplate kListBackgroundWindow = {
    "ListBackgroundWindow", "", 0, 0, 60, 60, rt::Border::None, {Canvas()}};

}  // namespace

std::string ListBackgroundPicture(int pitch) {
  rt::RuntimeWindow window(kListBackgroundWindow);
  rt::WindowModel& m = window.model();
  m.On("", Event::Created, [&m](rt::EventArgs&) {
    const rt::UnitState& canvas = m.Get("画板");
    m.SetGeometry("画板", canvas.left, canvas.top, 1, canvas.height);
  });
  if (!rt::Loader::Instance().LoadModeless(window, nullptr)) return std::string();
  const rt::UnitState& canvas = m.Get("画板");
  m.SetGeometry("画板", canvas.left, canvas.top, canvas.width, 2 * pitch);
  m.DrawRectangle("画板", 0, 0, canvas.width, canvas.height / 2);
  std::string picture = m.Picture("画板");
  window.Destroy();
  return picture;
}

}  // namespace keeper
