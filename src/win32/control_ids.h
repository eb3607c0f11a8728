#pragma once

#include "ports/window.h"

namespace foxbane::win32 {

// Each control's child-window id: what WM_COMMAND carries and what a program
// driving the window from outside finds it by (GetDlgCtrlID).
inline constexpr int kFirstControlId = 100;

inline constexpr int ChildIdOf(ControlId control) {
  return kFirstControlId + static_cast<int>(control);
}

inline constexpr ControlId ControlOfChildId(int childId) {
  return static_cast<ControlId>(childId - kFirstControlId);
}

}  // namespace foxbane::win32
