#include <gtest/gtest.h>

#include "app/texts.h"
#include "sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

TEST(ScanDriver, ProgressRoundsHalfToEvenAndEndsAtOneHundred) {
  SimMachine machine;
  for (std::uint32_t pid = 1; pid <= 8; ++pid) {
    machine.Run(pid, "C:\\Apps\\app" + std::to_string(pid) + ".exe", kCleanBytes);
  }
  // Each yield comes just after a file was opened and shows what the
  // previous process left on the bar.
  std::vector<int> seen;
  std::function<void()> record = [&] {
    seen.push_back(machine.form.CoolProgress1().Percent());
    machine.sim.loop.Post(record);
  };
  machine.sim.loop.Post(record);
  machine.ClickScan();
  EXPECT_EQ(seen, (std::vector<int>{0, 12, 25, 38, 50, 62, 75, 88}));
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 100);
  EXPECT_TRUE(machine.form.Visible(C::clean));
  EXPECT_FALSE(machine.form.Visible(C::results));
  EXPECT_FALSE(machine.form.Visible(C::scanstatus));
  EXPECT_TRUE(machine.form.Visible(C::CoolProgress1));
}

TEST(ScanDriver, StatusTextsAndPanelsInOrder) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\a.exe", kCleanBytes);
  std::string labelAtYield;
  bool scanPanelAtYield = false;
  machine.sim.loop.Post([&] {
    labelAtYield = machine.form.Caption(C::Label5);
    scanPanelAtYield = machine.form.Visible(C::scanstatus);
  });
  machine.ClickScan();
  EXPECT_EQ(labelAtYield, texts::kScanningProcesses);
  EXPECT_TRUE(scanPanelAtYield);
  EXPECT_EQ(machine.sim.window.Text(C::Label5), "Scanning All Running Processes...");
}

TEST(ScanDriver, NothingListedEndsOnTheCleanPanelWithoutTouchingTheBar) {
  SimMachine machine;
  machine.sim.processes.SetPlatformId(3);
  machine.form.CoolProgress1().Percent(40);
  machine.ClickScan();
  EXPECT_EQ(machine.form.lvwProcess().Count(), 0);
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 40);
  EXPECT_TRUE(machine.form.Visible(C::clean));
  EXPECT_EQ(machine.sim.loop.yields(), 0);
}

TEST(ScanDriver, UnreadableEmptyAndTooLargeFilesAreSkippedButCounted) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\locked.exe", kInfectedBytes);
  machine.sim.faults.Fail("FileSystem.OpenForRead", win_error::kSharingViolation, sim::Faults::kEveryCall,
                          "C:\\Apps\\locked.exe");
  machine.Run(2, "C:\\Apps\\empty.exe", "");
  machine.sim.files.WriteHugeFile("C:\\Apps\\huge.exe", std::uint64_t{1} << 62);
  machine.sim.processes.AddProcess(3, "C:\\Apps\\huge.exe");
  machine.sim.processes.AddProcess(4, "C:\\Apps\\gone.exe");
  machine.Run(5, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.ClickScan();

  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_EQ(machine.form.ResultsList().Item(1).text, "C:\\Apps\\bad.exe");
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 100);
  EXPECT_TRUE(machine.sim.messages.shown().empty());
}

// A listed path that is not on a drive letter is never opened: a UNC path
// would log on to a server, a pipe would let its server act as the user.
// Each still counts for the progress and yields once.
TEST(ScanDriver, OnlyPathsOnADriveLetterAreOpened) {
  SimMachine machine;
  const char* unopened[] = {"\\\\server\\share\\bad.exe", "\\\\.\\pipe\\bad",
                            "\\\\?\\C:\\Apps\\bad.exe", "Apps\\bad.exe", "C:bad.exe"};
  std::uint32_t pid = 1;
  for (const char* path : unopened) machine.sim.processes.AddProcess(pid++, path);
  machine.Run(pid, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.ClickScan();
  EXPECT_EQ(machine.sim.faults.Calls("FileSystem.OpenForRead"), 1);
  EXPECT_EQ(machine.sim.loop.yields(), static_cast<int>(pid) + 1);  // and the results step's
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_EQ(machine.form.ResultsList().Item(1).text, "C:\\Apps\\bad.exe");
}

TEST(ScanDriver, ReadFailureNeverMatchesOnAStaleBuffer) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.Run(2, "C:\\Apps\\same-size.exe", std::string(kInfectedBytes.size(), 'x'));
  machine.sim.faults.Fail("FileSystem.ReadFromStart", win_error::kNotEnoughMemory, 2);
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_EQ(machine.form.ResultsList().Item(1).pidText, "1");
}

TEST(ScanDriver, ASecondScanStartsFromAnEmptyResultList) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);

  machine.form.Click(C::Label7);
  machine.form.Click(C::Command4);
  machine.Run(2, "C:\\Apps\\worse.exe", kInfectedBytes);
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_EQ(machine.form.ResultsList().Item(1).text, "C:\\Apps\\worse.exe");
  EXPECT_EQ(machine.sim.window.Rows(C::ResultsList).size(), 1u);
  ASSERT_EQ(machine.form.ResultsList().Columns().size(), 2u);
  EXPECT_EQ(machine.form.ResultsList().Columns()[0].caption, "Process");
  EXPECT_DOUBLE_EQ(machine.form.ResultsList().Columns()[0].widthTwips, 5535 * 0.8);
}

TEST(ScanDriver, DetectedProcessRunningTwiceGivesTwoRows) {
  SimMachine machine;
  machine.Run(10, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.sim.processes.AddProcess(11, "C:\\Apps\\bad.exe");
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 2);
  EXPECT_EQ(machine.form.ResultsList().Item(1).pidText, "10");
  EXPECT_EQ(machine.form.ResultsList().Item(2).pidText, "11");
  EXPECT_TRUE(machine.form.Visible(C::results));
}

}  // namespace
}  // namespace foxbane::testing
