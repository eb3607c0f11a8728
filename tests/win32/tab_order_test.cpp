#include "win32/tab_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

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

TEST(TabOrder, CyclesThroughTheFocusableControlsByTabIndexIfAny) {
  const struct {
    std::set<ControlId> panels;
    bool forward;
    std::vector<ControlId> cycle;
  } cases[] = {
      {{}, true, {C::Command1, C::Command1}},  // never the labels
      // Tab index, not the results panel's stacking order (Command5, Command2, ResultsList).
      {{C::results}, true, {C::ResultsList, C::Command2, C::Command5, C::ResultsList}},
      {{C::results}, false, {C::Command5, C::Command2, C::ResultsList, C::Command5}},
      {{C::activityframe}, true, {C::Command6, C::LogText, C::Command6}},
      {{C::clean}, true, {C::Command3, C::Command3}},  // not its hidden lists
      // A scan that ends while the disclaimer is up shows its panel over it;
      // the bottom of "OK" still shows below the results panel and stays usable.
      {{C::results, C::disclaimer}, true,
       {C::ResultsList, C::Command2, C::Command4, C::Command5}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(::testing::Message() << "case " << i);
    const ShownQuery shown = WithPanels(cases[i].panels);
    std::vector<ControlId> visited;
    std::optional<ControlId> at;
    while (visited.size() < cases[i].cycle.size() &&
           (at = NextInTabOrder(at, cases[i].forward, shown))) {
      visited.push_back(*at);
    }
    EXPECT_EQ(visited, cases[i].cycle);
  }
  EXPECT_EQ(NextInTabOrder(C::Command1, true, [](ControlId) { return false; }), std::nullopt);
}

TEST(TabOrder, OnlyWhatIsWhollyHiddenCountsAsCovered) {
  EXPECT_FALSE(IsCovered(C::Command1, WithPanels({})));
  for (ControlId panel : kPanels) {
    SCOPED_TRACE(SpecOf(panel).name);
    EXPECT_TRUE(IsCovered(C::Command1, WithPanels({panel})));
  }
  // Inside a panel, under a top-level one: the walk out through the containers.
  EXPECT_TRUE(IsCovered(C::Label8, WithPanels({C::results, C::disclaimer})));
}

}  // namespace
}  // namespace foxbane::win32
