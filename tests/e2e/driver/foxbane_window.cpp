#include "driver/foxbane_window.h"

#include <stdexcept>
#include <vector>

#include "running_program.h"
#include "win32/text.h"
#include "window_probe.h"

namespace foxbane::e2e {

namespace {

using win32::Narrow;
using win32::Wide;
using win32::testing::TextOf;

HWND FindShownMainWindow() {
  struct Search {
    std::wstring title;
    HWND found;
  } search{Wide(window_layout::kTitle), nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM state) -> BOOL {
        auto* wanted = reinterpret_cast<Search*>(state);
        // The caption as the system keeps it: no message to a window that
        // may be busy, and nothing here can throw.
        wchar_t caption[64] = {};
        wchar_t className[16] = {};
        ::GetWindowTextW(window, caption, 64);
        ::GetClassNameW(window, className, 16);
        if (!::IsWindowVisible(window) || wanted->title != caption ||
            std::wstring_view(className) == L"#32770") {
          return TRUE;
        }
        wanted->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The innermost shown window of `top` under a point of the screen, going down
// the stacking order as a mouse click would.
HWND InnermostShownAt(HWND top, POINT screen) {
  for (HWND current = top;;) {
    POINT local = screen;
    ::ScreenToClient(current, &local);
    const HWND child = ::ChildWindowFromPointEx(current, local, CWP_SKIPINVISIBLE);
    if (!child || child == current) return current;
    current = child;
  }
}

bool IsClickable(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::LinkLabel;
}

}  // namespace

FoxbaneWindow FoxbaneWindow::WaitForIt(std::chrono::milliseconds limit) {
  HWND window = nullptr;
  win32::testing::WaitUntil([&] { return (window = FindShownMainWindow()) != nullptr; }, limit);
  if (!window) throw std::runtime_error("no window captioned Foxbane is shown");
  return FoxbaneWindow(window);
}

HWND FoxbaneWindow::Control(ControlId control) const {
  const HWND found = win32::testing::FindControl(window_, control);
  if (!found)
    throw std::runtime_error("the window has no control " + std::string(SpecOf(control).name));
  return found;
}

std::optional<POINT> FoxbaneWindow::UncoveredPoint(ControlId id) const {
  const HWND control = Control(id);
  if (!::IsWindowVisible(control)) return std::nullopt;
  RECT place;
  ::GetWindowRect(control, &place);
  // Every other pixel: a strip of a button left uncovered is a few pixels high.
  for (LONG y = place.top; y < place.bottom; y += 2) {
    for (LONG x = place.left; x < place.right; x += 2) {
      POINT at{x, y};
      if (InnermostShownAt(window_, at) != control) continue;
      ::ScreenToClient(control, &at);
      return at;
    }
  }
  return std::nullopt;
}

ControlId FoxbaneWindow::ClickableCaptioned(std::wstring_view caption) const {
  std::vector<ControlId> matches;
  for (const ControlSpec& spec : MainWindowControls()) {
    if (IsClickable(spec.kind) && TextOf(Control(spec.id)) == caption && UncoveredPoint(spec.id)) {
      matches.push_back(spec.id);
    }
  }
  if (matches.size() != 1) {
    throw std::runtime_error(std::to_string(matches.size()) +
                             " clickable controls are captioned \"" + Narrow(caption) + "\"");
  }
  return matches.front();
}

ControlId ControlNamed(std::string_view name) {
  for (const ControlSpec& spec : MainWindowControls()) {
    if (spec.name == name) return spec.id;
  }
  throw std::runtime_error("no control is named " + std::string(name));
}

void FoxbaneWindow::Click(ControlId id) const {
  const HWND control = Control(id);
  if (SpecOf(id).kind == ControlKind::Button) {
    ::PostMessageW(control, BM_CLICK, 0, 0);
    return;
  }
  const std::optional<POINT> at = UncoveredPoint(id);
  if (!at) throw std::runtime_error(std::string(SpecOf(id).name) + " cannot be clicked");
  const LPARAM point = MAKELPARAM(at->x, at->y);
  ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::PostMessageW(control, WM_LBUTTONUP, 0, point);
}

}  // namespace foxbane::e2e
