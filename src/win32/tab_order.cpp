#include "win32/tab_order.h"

#include <algorithm>
#include <vector>

#include "app/control_table.h"

namespace foxbane::win32 {

namespace {

bool Contains(const TwipsRect& outer, const TwipsRect& inner) {
  return outer.left <= inner.left && inner.left + inner.width <= outer.left + outer.width &&
         outer.top <= inner.top && inner.top + inner.height <= outer.top + outer.height;
}

// A shown sibling earlier in the table (higher in the stacking order) than
// `level` that hides `area` (in the coordinates of their container) entirely.
// A partly hidden control can still be clicked on the part that shows.
bool CoveredAmongSiblings(const ControlSpec& level, const TwipsRect& area,
                          const ShownQuery& shown) {
  for (const ControlSpec& sibling : MainWindowControls()) {
    if (sibling.id == level.id) return false;
    if (sibling.parent == level.parent && shown(sibling.id) && Contains(sibling.rect, area)) {
      return true;
    }
  }
  return false;
}

bool Focusable(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::TextBox ||
         kind == ControlKind::ListView || kind == ControlKind::FileListBox;
}

std::vector<const ControlSpec*> ByTabIndex() {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& spec : MainWindowControls()) order.push_back(&spec);
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  return order;
}

}  // namespace

// Walks out through the containers, checking the control's area against the
// siblings of each, in that container's coordinates.
bool IsCovered(ControlId control, const ShownQuery& shown) {
  TwipsRect area = SpecOf(control).rect;
  for (const ControlSpec* level = &SpecOf(control);; level = &SpecOf(*level->parent)) {
    if (CoveredAmongSiblings(*level, area, shown)) return true;
    if (!level->parent) return false;
    const TwipsRect& container = SpecOf(*level->parent).rect;
    area.left += container.left;
    area.top += container.top;
  }
}

bool CanTakeFocus(ControlId control, const ShownQuery& shown) {
  return Focusable(SpecOf(control).kind) && shown(control) && !IsCovered(control, shown);
}

std::optional<ControlId> NextInTabOrder(std::optional<ControlId> from, bool forward,
                                        const ShownQuery& shown) {
  const std::vector<const ControlSpec*> order = ByTabIndex();
  const auto count = static_cast<std::ptrdiff_t>(order.size());
  // Without a starting control, begin just outside the list so that the first
  // step lands on its first (forward) or last (backward) entry.
  std::ptrdiff_t position = forward ? -1 : count;
  if (from) {
    position = std::find_if(order.begin(), order.end(),
                            [&](const ControlSpec* spec) { return spec->id == *from; }) -
               order.begin();
  }
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    const std::ptrdiff_t moved = position + (forward ? step : -step);
    const std::ptrdiff_t candidate = (moved % count + count) % count;
    if (CanTakeFocus(order[candidate]->id, shown)) return order[candidate]->id;
  }
  return std::nullopt;
}

}  // namespace foxbane::win32
