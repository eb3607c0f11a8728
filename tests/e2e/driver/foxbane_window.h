#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "app/control_table.h"

namespace foxbane::e2e {

// The Foxbane main window as another program sees it.
class FoxbaneWindow {
 public:
  // Waits until a shown top-level window captioned "Foxbane" exists (a
  // message box, which carries the same caption, does not count).
  static FoxbaneWindow WaitForIt(std::chrono::milliseconds limit);

  HWND Handle() const { return window_; }
  HWND Control(ControlId control) const;
  // A point of the control, in its client coordinates, that a person could
  // click: the control and its containers are shown, and no shown window
  // above any of them covers it there. Nullopt when there is none.
  std::optional<POINT> UncoveredPoint(ControlId control) const;
  // The one button or clickable label with this caption that has an
  // uncovered point; throws when there is none or more than one.
  ControlId ClickableCaptioned(std::wstring_view caption) const;
  // Clicks as the user would: a button through its own click message, the
  // clickable label through a press and release of the left mouse button at
  // an uncovered point. Both are posted, so a click that starts a long
  // handler returns at once.
  void Click(ControlId control) const;

 private:
  explicit FoxbaneWindow(HWND window) : window_(window) {}
  HWND window_;
};

// The control of the layout with this name ("results", "Label6", ...);
// throws for an unknown name.
ControlId ControlNamed(std::string_view name);

}  // namespace foxbane::e2e
