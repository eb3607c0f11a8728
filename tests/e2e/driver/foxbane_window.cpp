#include "driver/foxbane_window.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "support/running_program.h"
#include "win32/text.h"
#include "win32/unique_handle.h"
#include "support/window_probe.h"

namespace foxbane::e2e {

namespace {

using win32::Narrow;
using win32::testing::TextOf;

RECT ScreenRect(HWND window) {
  RECT place;
  ::GetWindowRect(window, &place);
  return place;
}

RECT ScreenClientRect(HWND window) {
  RECT client;
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

// Removes a rectangle of the screen from the region.
void Remove(HRGN region, const RECT& place) {
  const win32::UniqueGdiObject part(::CreateRectRgnIndirect(&place));
  ::CombineRgn(region, region, static_cast<HRGN>(part.Get()), RGN_DIFF);
}

// Keeps only the part of the region inside a rectangle of the screen.
void KeepInside(HRGN region, const RECT& place) {
  const win32::UniqueGdiObject part(::CreateRectRgnIndirect(&place));
  ::CombineRgn(region, region, static_cast<HRGN>(part.Get()), RGN_AND);
}

// The centre of the region's first rectangle; nullopt for an empty region.
std::optional<POINT> SomePointOf(HRGN region) {
  const DWORD bytes = ::GetRegionData(region, 0, nullptr);
  std::vector<char> data(bytes);
  auto* rectangles = reinterpret_cast<RGNDATA*>(data.data());
  if (bytes == 0 || !::GetRegionData(region, bytes, rectangles) || rectangles->rdh.nCount == 0) {
    return std::nullopt;
  }
  RECT first;
  std::memcpy(&first, rectangles->Buffer, sizeof first);
  return POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
}

bool IsClickable(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::LinkLabel;
}

}  // namespace

FoxbaneWindow FoxbaneWindow::WaitForIt(std::chrono::milliseconds limit) {
  HWND window = nullptr;
  win32::testing::WaitUntil([&] { return (window = win32::testing::FindShownMainWindow()) != nullptr; }, limit);
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
  // What is left of the control once every shown window stacked above it,
  // or above any of its containers, is taken away, and everything outside
  // each container's client area.
  const RECT place = ScreenRect(control);
  const win32::UniqueGdiObject uncovered(::CreateRectRgnIndirect(&place));
  const auto region = static_cast<HRGN>(uncovered.Get());
  for (HWND level = control; level != window_; level = ::GetParent(level)) {
    KeepInside(region, ScreenClientRect(::GetParent(level)));
    for (HWND above = ::GetWindow(level, GW_HWNDPREV); above;
         above = ::GetWindow(above, GW_HWNDPREV)) {
      if (::IsWindowVisible(above)) Remove(region, ScreenRect(above));
    }
  }
  std::optional<POINT> at = SomePointOf(region);
  if (at) ::ScreenToClient(control, &*at);
  return at;
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
