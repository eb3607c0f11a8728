#include <gtest/gtest.h>

#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

// A path of 259 characters, the longest the ANSI functions take, and one
// that the log's single-byte text cannot hold: found, removed, and logged
// with question marks, in the file only.
TEST(BadInput, LongestAndNonAnsiPathsAreFoundRemovedAndLogged) {
  SimMachine machine;
  const std::string longFolder = "C:\\Program Files\\" + std::string(197, 'f');
  const std::string longPath = longFolder + "\\" + std::string(40, 'n') + ".exe";
  const std::string foxFolder = "C:\\Program Files\\Лиса 狐";
  const std::string foxPath = foxFolder + "\\bad.exe";
  machine.Run(1, longPath, kInfectedBytes);
  machine.Run(42, foxPath, kInfectedBytes);
  const std::string uninstall = kUninstall + "\\" + std::string(40, 'n');
  machine.sim.registry.SetString(kHklm, uninstall, "UninstallString", longPath);
  machine.sim.registry.SetString(kHkcu, kRunKey, "fox", "\"" + foxPath + "\" -tray");
  machine.ClickScan();
  EXPECT_FALSE(machine.sim.processes.IsRunning(42));
  EXPECT_FALSE(machine.sim.registry.Value(kHkcu, kRunKey, "fox").has_value());
  machine.ClickCleanup();
  EXPECT_FALSE(machine.sim.files.FolderExists(longFolder));
  EXPECT_FALSE(machine.sim.files.FolderExists(foxFolder));
  EXPECT_FALSE(machine.sim.registry.KeyExists(kHklm, uninstall));

  const std::string ansiPath = "C:\\Program Files\\???? ?\\bad.exe";
  const std::string log = machine.ScanLog();
  EXPECT_NE(log.find(ansiPath + " - [PID]: 42\r\n"), std::string::npos);
  EXPECT_NE(log.find("[CLEANUP] Deleted File: " + ansiPath + "\r\n"), std::string::npos);
  EXPECT_NE(log.find("[CLEANUP] Deleted Folder: C:\\Program Files\\???? ?\r\n"), std::string::npos);
  EXPECT_NE(machine.form.LogTextText().find("[CLEANUP] Deleted File: " + foxPath + "\r\n"),
            std::string::npos);
}

// Between the listing and the termination the detected process ends, and
// its PID may be given to another process: that one is left running and
// nothing is shown, whatever file it runs; the results are logged as found.
TEST(BadInput, ADetectedProcessThatEndsBeforeItsTerminationLeavesItsPidAlone) {
  for (const char* successor : {"", "C:\\Windows\\notepad.exe", kBad.c_str()}) {
    SCOPED_TRACE(successor);
    SimMachine machine;
    machine.Run(1, kBad, kInfectedBytes);
    machine.sim.loop.Post([&] {
      machine.sim.processes.Exit(1, 3);
      if (*successor) machine.sim.processes.AddProcess(1, successor);
    });
    machine.ClickScan();
    EXPECT_TRUE(machine.sim.messages.shown().empty());
    EXPECT_EQ(machine.sim.processes.IsRunning(1), *successor != '\0');
    EXPECT_TRUE(machine.form.Visible(C::results));
    EXPECT_NE(machine.ScanLog().find(kBad + " - [PID]: 1\r\n"), std::string::npos);
  }
}

// A list that cannot take a row fails that one step: the pass, the results
// step and the cleanup go on, and a process the user was not shown is not
// ended, logged or cleaned up after.
TEST(BadInput, AListThatRefusesARowSkipsOnlyThatRow) {
  const std::string other = "C:\\Program Files\\Other Co\\other.exe";
  SimMachine machine;
  machine.Run(1, kBad, kInfectedBytes);
  machine.Run(2, other, kInfectedBytes);
  machine.sim.faults.Fail("Window.AppendRow", win_error::kNotEnoughMemory, 3);  // bad.exe's result
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_TRUE(machine.sim.processes.IsRunning(1));
  EXPECT_FALSE(machine.sim.processes.IsRunning(2));
  EXPECT_EQ(machine.ScanLog().find(kBad), std::string::npos);
  EXPECT_NE(machine.ScanLog().find(other + " - [PID]: 2\r\n"), std::string::npos);
  machine.ClickCleanup();
  EXPECT_TRUE(machine.sim.files.Contents(kBad).has_value());
  EXPECT_FALSE(machine.sim.files.Contents(other).has_value());
}

}  // namespace
}  // namespace foxbane::testing
