#include <gtest/gtest.h>

#include "common/utf.h"
#include "support/sim_machine.h"
#include "support/form2_test_access.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

const std::string kBadPath = "C:\\Program Files\\Bad Co\\bad.exe";

class ScanResults : public ::testing::Test {
 protected:
  void SetUp() override { machine.Run(1234, kBadPath, kInfectedBytes); }

  void SetRun(RegKey root, std::string_view name, std::string_view data) {
    machine.sim.registry.SetString(root, kRunKey, name, data);
  }
  bool HasRun(RegKey root, std::string_view name) {
    return machine.sim.registry.Value(root, kRunKey, name).has_value();
  }

  SimMachine machine;
};

TEST_F(ScanResults, TerminatesShowsTheSingularCaptionAndFocusesCleanup) {
  machine.ClickScan();
  EXPECT_FALSE(machine.sim.processes.IsRunning(1234));
  EXPECT_EQ(machine.sim.processes.ExitCode(1234), 0u);
  EXPECT_EQ(machine.form.Caption(C::Label6),
            "1 process was detected as MarbleFox and was terminated:");
  EXPECT_TRUE(machine.form.Visible(C::results));
  EXPECT_FALSE(machine.form.Visible(C::scanstatus));
  EXPECT_EQ(machine.sim.window.Focused(), C::Command5);
  EXPECT_TRUE(machine.sim.messages.shown().empty());
}

TEST_F(ScanResults, PluralCaptionForTwo) {
  machine.Run(77, "C:\\Temp\\other.exe", kInfectedBytes);
  machine.ClickScan();
  EXPECT_EQ(machine.form.Caption(C::Label6),
            "2 processes were detected as MarbleFox and were terminated:");
}

TEST_F(ScanResults, RunValuesMatchByCaseSensitiveContainment) {
  SetRun(kHkcu, "quoted", "\"" + kBadPath + "\" /silent");
  SetRun(kHkcu, "longer", kBadPath + ".bak");
  SetRun(kHkcu, "othercase", "C:\\program files\\bad co\\BAD.EXE");
  SetRun(kHkcu, "empty", "");
  SetRun(kHkcu, "unexpanded", "%ProgramFiles%\\Bad Co\\bad.exe");
  SetRun(kHkcu, "unrelated", "C:\\Windows\\notepad.exe");
  machine.sim.registry.SetValue(kHkcu, kRunKey, "expand", reg_type::kExpandString,
                                Utf16LeBytesFromUtf8(kBadPath + std::string(1, '\0')));
  machine.ClickScan();
  EXPECT_FALSE(HasRun(kHkcu, "quoted"));
  EXPECT_FALSE(HasRun(kHkcu, "longer"));
  EXPECT_FALSE(HasRun(kHkcu, "expand"));
  EXPECT_TRUE(HasRun(kHkcu, "othercase"));
  EXPECT_TRUE(HasRun(kHkcu, "empty"));
  EXPECT_TRUE(HasRun(kHkcu, "unexpanded"));
  EXPECT_TRUE(HasRun(kHkcu, "unrelated"));
}

TEST_F(ScanResults, BothRootsAreCleanedAndAValueMatchingTwoRowsIsDeletedOnce) {
  machine.sim.processes.AddProcess(1235, kBadPath);
  SetRun(kHkcu, "bad", kBadPath);
  SetRun(kHklm, "bad", kBadPath);
  machine.ClickScan();
  EXPECT_FALSE(HasRun(kHkcu, "bad"));
  EXPECT_FALSE(HasRun(kHklm, "bad"));
  EXPECT_EQ(machine.sim.registry.OpenHandleCount(), 0u);
}

// The 32-bit adware's machine-wide Run value lives in the 32-bit view; on
// 32-bit Windows there is only the one view.
TEST_F(ScanResults, MachineRunValuesAreCleanedInBothViewsWhereThereAreTwo) {
  const std::string run32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  machine.sim.registry.SetString(kHklm, run32, "bad", "\"" + kBadPath + "\" /tray");
  machine.sim.registry.SetString(kHklm, run32, "other", "C:\\Apps\\other.exe");
  SetRun(kHklm, "bad", kBadPath);
  machine.ClickScan();
  EXPECT_FALSE(machine.sim.registry.Value(kHklm, run32, "bad").has_value());
  EXPECT_TRUE(machine.sim.registry.Value(kHklm, run32, "other").has_value());
  EXPECT_FALSE(HasRun(kHklm, "bad"));
  EXPECT_EQ(machine.sim.registry.OpenHandleCount(), 0u);

  SimMachine oneView;
  oneView.sim.registry.UseOneView();
  oneView.Run(1234, kBadPath, kInfectedBytes);
  oneView.sim.registry.SetString(kHklm, run32, "bad", kBadPath);
  oneView.sim.registry.SetString(kHklm, kRunKey, "bad", kBadPath);
  oneView.ClickScan();
  EXPECT_TRUE(oneView.sim.registry.Value(kHklm, run32, "bad").has_value());
  EXPECT_FALSE(oneView.sim.registry.Value(kHklm, kRunKey, "bad").has_value());
}

TEST_F(ScanResults, MissingRunKeyOnOneRootLeavesTheOtherDone) {
  SetRun(kHklm, "bad", kBadPath);
  ASSERT_FALSE(machine.sim.registry.KeyExists(kHkcu, kRunKey));
  machine.ClickScan();
  EXPECT_FALSE(HasRun(kHklm, "bad"));
}

TEST_F(ScanResults, AccessDeniedUnderHklmStillCleansHkcuAndShowsNothing) {
  SetRun(kHkcu, "bad", kBadPath);
  SetRun(kHklm, "bad", kBadPath);
  machine.sim.faults.Fail("Registry.OpenKey", win_error::kAccessDenied, sim::Faults::kEveryCall,
                          "HKEY_LOCAL_MACHINE");
  machine.ClickScan();
  EXPECT_FALSE(HasRun(kHkcu, "bad"));
  EXPECT_TRUE(HasRun(kHklm, "bad"));
  EXPECT_TRUE(machine.form.Visible(C::results));
  EXPECT_TRUE(machine.sim.messages.shown().empty());
}

TEST_F(ScanResults, LogBlockAndActivityLogByteForByte) {
  machine.sim.processes.AddProcess(4294000000u, kBadPath);
  machine.ClickScan();
  EXPECT_EQ(machine.ScanLog(),
            "\r\n" + std::string(80, '-') +
                "\r\n"
                "The following processes were detected as MarbleFox:\r\n"
                "Scanned on: 14:05:09 03/27/2004 with Foxbane v1.61\r\n"
                "C:\\Program Files\\Bad Co\\bad.exe - [PID]: 1234\r\n"
                "C:\\Program Files\\Bad Co\\bad.exe - [PID]: -967296\r\n");
  EXPECT_EQ(machine.form.LogTextText(),
            "--------------------\r\n"
            "The following processes were detected as MarbleFox:\r\n"
            "Scanned on: 14:05:09 03/27/2004 with Foxbane v1.61\r\n"
            "C:\\Program Files\\Bad Co\\bad.exe - [PID]: 1234\r\n"
            "C:\\Program Files\\Bad Co\\bad.exe - [PID]: -967296");
  EXPECT_EQ(machine.sim.window.Text(C::LogText), machine.form.LogTextText());
}

TEST_F(ScanResults, StampUsesTheLocaleSeparatorsAndTheTwentyFourHourClock) {
  machine.sim.clock.Set({2026, 12, 6, 23, 7, 1});
  machine.sim.clock.SetSeparators(".", "-");
  machine.ClickScan();
  EXPECT_NE(machine.ScanLog().find("Scanned on: 23.07.01 12-06-2026 with Foxbane v1.61\r\n"),
            std::string::npos);
}

TEST_F(ScanResults, TwoScansAppendTwoBlocksAndKeepEarlierContent) {
  const std::string logPath = machine.sim.environment.ApplicationFolder() + "\\scanlog.txt";
  machine.sim.files.WriteFile(logPath, "earlier record\r\n",
                              file_attribute::kReadOnly | file_attribute::kHidden);
  machine.ClickScan();
  const std::string first = machine.ScanLog();
  EXPECT_TRUE(first.starts_with("earlier record\r\n\r\n----"));
  const auto kept = file_attribute::kReadOnly | file_attribute::kHidden | file_attribute::kSystem;
  EXPECT_EQ(machine.sim.files.Attributes(logPath).value_or(kept) & kept, 0u);

  machine.form.Click(C::Label7);
  machine.form.Click(C::Command4);
  machine.Run(1300, kBadPath, kInfectedBytes);
  machine.ClickScan();
  const std::string second = machine.ScanLog();
  ASSERT_TRUE(second.starts_with(first));
  EXPECT_TRUE(second.substr(first.size()).starts_with("\r\n" + std::string(80, '-') + "\r\n"));
}

TEST_F(ScanResults, ProgramAtADriveRootLogsWithoutADoubledBackslash) {
  machine.sim.environment.SetApplicationFolder("C:\\");
  machine.ClickScan();
  EXPECT_TRUE(machine.sim.files.Contents("C:\\scanlog.txt").has_value());
  EXPECT_EQ(Form2TestAccess::ScanLogPath(machine.form), "C:\\scanlog.txt");
}

TEST_F(ScanResults, UnwritableFolderStillSeedsTheActivityLogAndCleansRunValues) {
  SetRun(kHkcu, "bad", kBadPath);
  machine.sim.faults.Fail("FileSystem.OpenForAppend", win_error::kAccessDenied,
                          sim::Faults::kEveryCall, machine.ScanLogPath());
  machine.ClickScan();
  EXPECT_EQ(machine.ScanLog(), "");
  EXPECT_TRUE(machine.form.LogTextText().starts_with("--------------------\r\n"));
  EXPECT_FALSE(HasRun(kHkcu, "bad"));
}

TEST_F(ScanResults, LogIsWrittenBeforeAnyRunValueIsTouched) {
  SetRun(kHkcu, "bad", kBadPath);
  machine.sim.faults.Fail("Registry.DeleteValue", win_error::kAccessDenied);
  machine.ClickScan();
  EXPECT_NE(machine.ScanLog().find(kBadPath + " - [PID]: 1234"), std::string::npos);
  EXPECT_TRUE(HasRun(kHkcu, "bad"));
}

TEST_F(ScanResults, CleanupClickedAtTheYieldRunsToItsEndBeforeHklm) {
  SetRun(kHkcu, "bad", kBadPath);
  SetRun(kHklm, "bad", kBadPath);
  std::vector<std::string> events;
  std::function<void()> clickWhenResultsShow = [&] {
    if (!machine.form.Visible(C::results)) {
      machine.sim.loop.Post(clickWhenResultsShow);
      return;
    }
    events.push_back(HasRun(kHkcu, "bad") ? "hkcu kept" : "hkcu deleted");
    events.push_back(HasRun(kHklm, "bad") ? "hklm kept" : "hklm deleted");
    machine.ClickCleanup();
    events.push_back(machine.form.Visible(C::activityframe) ? "cleanup done" : "cleanup open");
  };
  machine.sim.loop.Post(clickWhenResultsShow);
  machine.ClickScan();
  EXPECT_EQ(events, (std::vector<std::string>{"hkcu deleted", "hklm kept", "cleanup done"}));
  EXPECT_FALSE(HasRun(kHklm, "bad"));
  // The cleanup's entries come after the block, and the results step ends
  // after the cleanup without undoing its panels.
  EXPECT_NE(machine.ScanLog().find("[PROTECTION]"), std::string::npos);
  EXPECT_TRUE(machine.form.Visible(C::activityframe));
}

TEST_F(ScanResults, FailedTerminationShowsOneMessagePerRowInOrder) {
  machine.Run(2000, "C:\\Temp\\second.exe", kInfectedBytes);
  machine.sim.faults.Fail("Processes.Terminate", win_error::kAccessDenied);
  machine.ClickScan();
  ASSERT_EQ(machine.sim.messages.shown().size(), 2u);
  EXPECT_TRUE(machine.sim.messages.shown()[0].starts_with(
      "There was an error while trying to terminate the process - please try running Foxbane "
      "again.\n\nERROR: "));
  EXPECT_TRUE(machine.form.Visible(C::results));
}

}  // namespace
}  // namespace foxbane::testing
