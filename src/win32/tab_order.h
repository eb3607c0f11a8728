#pragma once

#include <functional>
#include <optional>

#include "ports/window.h"

namespace foxbane::win32 {

// Whether a control's own Visible flag and those of all its containers are set.
using ShownQuery = std::function<bool(ControlId)>;

// True when a shown sibling above the control in the stacking order, or above
// one of its containers, hides it entirely: the user can neither see nor
// click it.
bool IsCovered(ControlId control, const ShownQuery& shown);

// True for a control the keyboard may focus: a shown, uncovered button,
// text box or list.
bool CanTakeFocus(ControlId control, const ShownQuery& shown);

// Where Tab (forward) or Shift+Tab moves the focus from `from`, in tab index
// order and wrapping around. `from` need not be focusable itself (the control
// that just lost the focus, say); without it the first or last one is taken.
// None when no control can take the focus.
std::optional<ControlId> NextInTabOrder(std::optional<ControlId> from, bool forward,
                                        const ShownQuery& shown);

}  // namespace foxbane::win32
