#include <gtest/gtest.h>

#include "app/control_table.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;
using Change = std::pair<ControlId, bool>;

// The panels shown and hidden by one click, in order.
std::vector<Change> ChangesOnClick(SimMachine& machine, ControlId control) {
  const std::size_t start = machine.sim.window.VisibilityLog().size();
  machine.form.Click(control);
  const auto& log = machine.sim.window.VisibilityLog();
  return {log.begin() + static_cast<std::ptrdiff_t>(start), log.end()};
}

bool AnyPanelVisible(const Form2& form) {
  return std::any_of(std::begin(kPanels), std::end(kPanels),
                     [&](ControlId panel) { return form.Visible(panel); });
}

// The disclaimer and its OK switch the panels in their own order; OK leaves
// the activity panel as it was.
TEST(ScreenFlow, OpensOnTheStartScreenAndTheDisclaimerComesAndGoes) {
  SimMachine machine;
  EXPECT_FALSE(AnyPanelVisible(machine.form));
  EXPECT_FALSE(machine.form.Visible(C::CoolProgress1));
  EXPECT_EQ(machine.sim.window.Focused(), C::Command1);
  EXPECT_EQ(machine.sim.window.VisibilityLog(),
            (std::vector<Change>{{C::scanstatus, false}, {C::results, false}, {C::clean, false},
                                 {C::disclaimer, false}, {C::activityframe, false}}));
  EXPECT_EQ(ChangesOnClick(machine, C::Label7),
            (std::vector<Change>{{C::disclaimer, true}, {C::scanstatus, false},
                                 {C::results, false}, {C::clean, false},
                                 {C::activityframe, false}}));
  EXPECT_EQ(ChangesOnClick(machine, C::Command4),
            (std::vector<Change>{{C::scanstatus, false}, {C::results, false}, {C::clean, false},
                                 {C::disclaimer, false}}));
  EXPECT_FALSE(AnyPanelVisible(machine.form));
}

// An exit runs no step that writes: the log stays as the scan left it.
TEST(ScreenFlow, EveryExitEndsTheProgramWithoutWritingAnything) {
  for (ControlId exitButton : {C::Command2, C::Command3, C::Command6}) {
    SimMachine machine;
    machine.Run(100, "C:\\Tools\\tool.exe", kCleanBytes);
    machine.ClickScan();
    machine.form.Click(exitButton);
    EXPECT_TRUE(machine.sim.loop.ended());
    EXPECT_EQ(machine.ScanLog(), "");
  }
}

// Scan pressed again during a scan starts no second one; the disclaimer
// opened meanwhile stays over the panel the scan ends on, until OK.
TEST(ScreenFlow, ScanAndDisclaimerDuringAScan) {
  SimMachine machine;
  machine.Run(100, "C:\\Tools\\a.exe", kCleanBytes);
  machine.Run(101, "C:\\Tools\\b.exe", kCleanBytes);
  int pressesDuringScan = 0;
  machine.sim.loop.Post([&] {
    ++pressesDuringScan;
    machine.form.Click(C::Command1);
    machine.form.Click(C::Label7);
  });
  machine.ClickScan();
  EXPECT_EQ(pressesDuringScan, 1);
  EXPECT_EQ(machine.sim.loop.yields(), 2);  // one pass: one yield per process
  EXPECT_TRUE(machine.form.Visible(C::clean));
  EXPECT_TRUE(machine.form.Visible(C::disclaimer));
  EXPECT_FALSE(machine.form.Visible(C::scanstatus));

  machine.form.Click(C::Command4);
  EXPECT_FALSE(AnyPanelVisible(machine.form));
  machine.ClickScan();  // from the start screen a new scan runs again
  EXPECT_TRUE(machine.form.Visible(C::clean));
}

}  // namespace
}  // namespace foxbane::testing
