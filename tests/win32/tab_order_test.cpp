#include "win32/tab_order.h"

#include <gtest/gtest.h>

#include <set>

#include "app/control_table.h"

namespace foxbane::win32 {
namespace {

using C = ControlId;

// The window with the given panels shown and every other control at its
// start visibility.
ShownQuery WithPanels(std::set<ControlId> panels) {
  return [panels](ControlId control) {
    for (const ControlSpec* spec = &SpecOf(control);; spec = &SpecOf(*spec->parent)) {
      const bool isPanel = std::find(std::begin(kPanels), std::end(kPanels), spec->id) !=
                           std::end(kPanels);
      const bool visible = isPanel ? panels.count(spec->id) > 0 : spec->visibleAtStart;
      if (!visible) return false;
      if (!spec->parent) return true;
    }
  };
}

std::vector<ControlId> Cycle(const ShownQuery& shown, bool forward, int steps) {
  std::vector<ControlId> visited;
  std::optional<ControlId> at;
  for (int step = 0; step < steps; ++step) {
    at = NextInTabOrder(at, forward, shown);
    if (!at) break;
    visited.push_back(*at);
  }
  return visited;
}

TEST(TabOrder, StartScreenHasOnlyTheScanButtonNotTheLabels) {
  const ShownQuery shown = WithPanels({});
  EXPECT_EQ(Cycle(shown, true, 3), (std::vector{C::Command1, C::Command1, C::Command1}));
  EXPECT_FALSE(IsCovered(C::Command1, shown));
}

TEST(TabOrder, FollowsTabIndexNotStackingOrder) {
  // Stacking order in the results panel: Command5, Command2, ResultsList.
  EXPECT_EQ(Cycle(WithPanels({C::results}), true, 4),
            (std::vector{C::ResultsList, C::Command2, C::Command5, C::ResultsList}));
  EXPECT_EQ(Cycle(WithPanels({C::results}), false, 4),
            (std::vector{C::Command5, C::Command2, C::ResultsList, C::Command5}));
  EXPECT_EQ(Cycle(WithPanels({C::activityframe}), true, 3),
            (std::vector{C::Command6, C::LogText, C::Command6}));
}

TEST(TabOrder, AnyShownPanelHidesTheScanButton) {
  for (ControlId panel : kPanels) {
    const ShownQuery shown = WithPanels({panel});
    EXPECT_TRUE(IsCovered(C::Command1, shown)) << SpecOf(panel).name;
    EXPECT_FALSE(CanTakeFocus(C::Command1, shown)) << SpecOf(panel).name;
  }
  // From the covered button that kept the focus, Tab goes on into the panel.
  EXPECT_EQ(NextInTabOrder(C::Command1, true, WithPanels({C::disclaimer})), C::Command4);
}

TEST(TabOrder, ControlsOfHiddenPanelsAndHiddenListsAreSkipped) {
  const ShownQuery shown = WithPanels({C::clean});
  EXPECT_EQ(Cycle(shown, true, 2), (std::vector{C::Command3, C::Command3}));
  EXPECT_FALSE(CanTakeFocus(C::lvwProcess, shown));
  EXPECT_FALSE(CanTakeFocus(C::File1, shown));
}

TEST(TabOrder, ResultsAboveTheDisclaimerLeaveItsOkButtonPartlyVisibleAndReachable) {
  // A scan that ends while the disclaimer is up shows its panel over it; the
  // bottom of "OK" still shows below the results panel and must stay usable.
  const ShownQuery shown = WithPanels({C::results, C::disclaimer});
  EXPECT_FALSE(IsCovered(C::Command4, shown));
  EXPECT_EQ(Cycle(shown, true, 4),
            (std::vector{C::ResultsList, C::Command2, C::Command4, C::Command5}));
  // The disclaimer text lies wholly under the results panel.
  EXPECT_TRUE(IsCovered(C::Label8, shown));
}

TEST(TabOrder, NothingFocusableGivesNone) {
  const ShownQuery nothingShown = [](ControlId) { return false; };
  EXPECT_EQ(NextInTabOrder(std::nullopt, true, nothingShown), std::nullopt);
  EXPECT_EQ(NextInTabOrder(C::Command1, false, nothingShown), std::nullopt);
}

}  // namespace
}  // namespace foxbane::win32
