#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string_view>

#include "app/control_table.h"

namespace foxbane::e2e {

// The Foxbane main window as another program sees it.
class FoxbaneWindow {
 public:
  // Waits until Foxbane's main window is shown.
  static FoxbaneWindow WaitForIt(std::chrono::milliseconds limit);

  HWND Handle() const { return window_; }
  HWND Control(ControlId control) const;  // throws when the window lacks it
  // The one button or clickable label with this caption that a person could
  // click; throws when there is none or more than one.
  ControlId ClickableCaptioned(std::wstring_view caption) const;
  // Presses and releases the left mouse button on an uncovered point of the
  // control. Both are posted, so a click that starts a long handler returns
  // at once.
  void Click(ControlId control) const;

 private:
  explicit FoxbaneWindow(HWND window) : window_(window) {}
  // A point of the control, in its client coordinates, where the deepest
  // shown window is the control itself: it and its containers are shown,
  // and nothing shown above any of them covers it there. Nullopt if none.
  std::optional<POINT> UncoveredPoint(ControlId control) const;

  HWND window_;
};

// The control of the layout with this name ("results", "Label6", ...);
// throws for an unknown name.
ControlId ControlNamed(std::string_view name);

}  // namespace foxbane::e2e
