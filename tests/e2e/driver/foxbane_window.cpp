#include "driver/foxbane_window.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "support/window_probe.h"
#include "win32/text.h"

namespace foxbane::e2e {

using win32::testing::TextOf;

FoxbaneWindow FoxbaneWindow::WaitForIt(std::chrono::milliseconds limit) {
  const HWND window = win32::testing::WaitForShownWindow(win32::testing::kMainWindowClass, limit);
  if (!window) throw std::runtime_error("no window captioned Foxbane is shown");
  return FoxbaneWindow(window);
}

HWND FoxbaneWindow::Control(ControlId control) const {
  const HWND found = win32::testing::FindControl(window_, control);
  if (!found)
    throw std::runtime_error("the window has no control " + std::string(SpecOf(control).name));
  return found;
}

// Every other pixel, each followed down from the main window to the deepest
// shown window there, as a mouse click would be.
std::optional<POINT> FoxbaneWindow::UncoveredPoint(ControlId id) const {
  const HWND control = Control(id);
  if (!::IsWindowVisible(control)) return std::nullopt;
  RECT client;
  ::GetClientRect(control, &client);
  for (POINT at{0, 0}; at.y < client.bottom; at.y += 2) {
    for (at.x = 0; at.x < client.right; at.x += 2) {
      POINT point = at;
      ::MapWindowPoints(control, window_, &point, 1);
      HWND hit = window_;
      for (HWND next; (next = ::ChildWindowFromPointEx(hit, point, CWP_SKIPINVISIBLE)) &&
                      next != hit;
           hit = next) {
        ::MapWindowPoints(hit, next, &point, 1);
      }
      if (hit == control) return at;
    }
  }
  return std::nullopt;
}

ControlId FoxbaneWindow::ClickableCaptioned(std::wstring_view caption) const {
  std::vector<ControlId> matches;
  for (const ControlSpec& spec : MainWindowControls()) {
    const bool clickable = spec.kind == ControlKind::Button || spec.kind == ControlKind::LinkLabel;
    if (clickable && TextOf(Control(spec.id)) == caption && UncoveredPoint(spec.id)) {
      matches.push_back(spec.id);
    }
  }
  if (matches.size() != 1) {
    throw std::runtime_error(std::to_string(matches.size()) + " clickable controls are captioned " +
                             win32::Narrow(caption));
  }
  return matches.front();
}

void FoxbaneWindow::Click(ControlId id) const {
  const std::optional<POINT> at = UncoveredPoint(id);
  if (!at) throw std::runtime_error(std::string(SpecOf(id).name) + " cannot be clicked");
  const LPARAM point = MAKELPARAM(at->x, at->y);
  ::PostMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::PostMessageW(Control(id), WM_LBUTTONUP, 0, point);
}

ControlId ControlNamed(std::string_view name) {
  for (const ControlSpec& spec : MainWindowControls()) {
    if (spec.name == name) return spec.id;
  }
  throw std::runtime_error("no control is named " + std::string(name));
}

}  // namespace foxbane::e2e
