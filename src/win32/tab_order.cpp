#include "win32/tab_order.h"

#include <algorithm>
#include <vector>

#include "app/control_table.h"

namespace foxbane::win32 {

namespace {

bool Overlap(const TwipsRect& a, const TwipsRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

// A shown sibling earlier in the table (higher in the stacking order) overlapping it.
bool CoveredAmongSiblings(const ControlSpec& spec, const ShownQuery& shown) {
  for (const ControlSpec& sibling : MainWindowControls()) {
    if (sibling.id == spec.id) return false;
    if (sibling.parent == spec.parent && shown(sibling.id) && Overlap(sibling.rect, spec.rect)) {
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

bool IsCovered(ControlId control, const ShownQuery& shown) {
  for (const ControlSpec* spec = &SpecOf(control); spec != nullptr;
       spec = spec->parent ? &SpecOf(*spec->parent) : nullptr) {
    if (CoveredAmongSiblings(*spec, shown)) return true;
  }
  return false;
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
    const std::ptrdiff_t candidate = ((position + (forward ? step : -step)) % count + count) % count;
    if (CanTakeFocus(order[candidate]->id, shown)) return order[candidate]->id;
  }
  return std::nullopt;
}

}  // namespace foxbane::win32
