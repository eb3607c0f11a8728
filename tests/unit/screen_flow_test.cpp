#include <gtest/gtest.h>

#include "app/control_table.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;
using Change = std::pair<ControlId, bool>;

std::vector<Change> ChangesSince(const sim::SimWindow& window, std::size_t start) {
  const auto& log = window.VisibilityLog();
  return {log.begin() + static_cast<std::ptrdiff_t>(start), log.end()};
}

bool AnyPanelVisible(const Form2& form) {
  for (ControlId panel : kPanels) {
    if (form.Visible(panel)) return true;
  }
  return false;
}

TEST(ScreenFlow, OpensOnTheStartScreen) {
  SimMachine machine;
  EXPECT_FALSE(AnyPanelVisible(machine.form));
  EXPECT_FALSE(machine.form.Visible(C::CoolProgress1));
  EXPECT_EQ(machine.sim.window.Focused(), C::Command1);
  EXPECT_EQ(machine.sim.window.VisibilityLog(),
            (std::vector<Change>{{C::scanstatus, false}, {C::results, false}, {C::clean, false},
                                 {C::disclaimer, false}, {C::activityframe, false}}));
}

TEST(ScreenFlow, DisclaimerAndOkSwitchPanelsInTheirOrder) {
  SimMachine machine;
  auto& window = machine.sim.window;
  std::size_t start = window.VisibilityLog().size();
  machine.form.Click(C::Label7);
  EXPECT_EQ(ChangesSince(window, start),
            (std::vector<Change>{{C::disclaimer, true}, {C::scanstatus, false},
                                 {C::results, false}, {C::clean, false},
                                 {C::activityframe, false}}));
  start = window.VisibilityLog().size();
  machine.form.Click(C::Command4);
  EXPECT_EQ(ChangesSince(window, start),
            (std::vector<Change>{{C::scanstatus, false}, {C::results, false}, {C::clean, false},
                                 {C::disclaimer, false}}));
  EXPECT_FALSE(AnyPanelVisible(machine.form));
}

TEST(ScreenFlow, EveryExitEndsTheProgramWithoutWritingAnything) {
  for (ControlId exitButton : {C::Command2, C::Command3, C::Command6}) {
    SimMachine machine;
    machine.Run(100, "C:\\Tools\\tool.exe", kCleanBytes);
    machine.ClickScan();
    const auto registryBefore = machine.sim.faults.Calls("Registry.SetValue");
    machine.form.Click(exitButton);
    EXPECT_TRUE(machine.sim.loop.ended());
    EXPECT_EQ(machine.ScanLog(), "");
    EXPECT_EQ(machine.sim.faults.Calls("Registry.SetValue"), registryBefore);
  }
}

TEST(ScreenFlow, ScanPressedAgainDuringAScanDoesNotStartASecondOne) {
  SimMachine machine;
  machine.Run(100, "C:\\Tools\\a.exe", kCleanBytes);
  machine.Run(101, "C:\\Tools\\b.exe", kCleanBytes);
  int pressesDuringScan = 0;
  machine.sim.loop.Post([&] {
    ++pressesDuringScan;
    machine.form.Click(C::Command1);
  });
  machine.ClickScan();
  EXPECT_EQ(pressesDuringScan, 1);
  // One pass: one yield per process, no more.
  EXPECT_EQ(machine.sim.loop.yields(), 2);
  EXPECT_TRUE(machine.form.Visible(C::clean));
}

TEST(ScreenFlow, DisclaimerDuringAScanStaysAroundTheFinalPanel) {
  SimMachine machine;
  machine.Run(100, "C:\\Tools\\a.exe", kCleanBytes);
  machine.sim.loop.Post([&] { machine.form.Click(C::Label7); });
  machine.ClickScan();
  EXPECT_TRUE(machine.form.Visible(C::clean));
  EXPECT_TRUE(machine.form.Visible(C::disclaimer));
  EXPECT_FALSE(machine.form.Visible(C::scanstatus));

  machine.form.Click(C::Command4);
  EXPECT_FALSE(AnyPanelVisible(machine.form));

  // From the start screen a new scan runs again.
  machine.ClickScan();
  EXPECT_TRUE(machine.form.Visible(C::clean));
}

TEST(ScreenFlow, OkLeavesTheActivityPanelAsItWas) {
  SimMachine machine;
  machine.Run(100, "C:\\Tools\\bad.exe", kInfectedBytes);
  machine.ClickScan();
  machine.ClickCleanup();
  ASSERT_TRUE(machine.form.Visible(C::activityframe));
  machine.form.Click(C::Label7);
  const std::size_t start = machine.sim.window.VisibilityLog().size();
  machine.form.Click(C::Command4);
  for (const auto& [control, visible] : ChangesSince(machine.sim.window, start)) {
    EXPECT_NE(control, C::activityframe);
    EXPECT_FALSE(visible);
  }
}

}  // namespace
}  // namespace foxbane::testing
