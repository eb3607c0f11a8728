#include <gtest/gtest.h>

#include "app/texts.h"
#include "support/rule_by_rule.h"
#include "scan/signatures.h"
#include "support/sim_machine.h"
#include "support/form2_test_access.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

// The PIDs of the detected processes, in the order of the results list.
std::vector<std::string> DetectedPids(SimMachine& machine) {
  std::vector<std::string> pids;
  for (std::int32_t row = 1; row <= machine.form.ResultsList().Count(); ++row) {
    pids.push_back(machine.form.ResultsList().Item(row).pidText);
  }
  return pids;
}

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
  Form2TestAccess::CoolProgress1(machine.form).Percent(40);
  machine.ClickScan();
  EXPECT_EQ(machine.form.lvwProcess().Count(), 0);
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 40);
  EXPECT_TRUE(machine.form.Visible(C::clean));
  EXPECT_EQ(machine.sim.loop.yields(), 0);
}

TEST(ScanDriver, UnreadableAndEmptyFilesAreSkippedButCounted) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\locked.exe", kInfectedBytes);
  machine.sim.faults.Fail("FileSystem.OpenForRead", win_error::kSharingViolation, sim::Faults::kEveryCall,
                          "C:\\Apps\\locked.exe");
  machine.Run(2, "C:\\Apps\\empty.exe", "");
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

// Each file is opened, the loop is yielded to once, and only then is the file
// read: to its end, one chunk at a time, a short read ending it.
TEST(ScanDriver, YieldsOnceAfterEachOpenThenReadsTheFileToItsEndInChunks) {
  SimMachine machine;
  Form2TestAccess::SetScanChunkBytes(machine.form, 10);
  const std::size_t sizes[] = {0, 1, 9, 10, 11, 30};
  for (std::uint32_t pid = 1; pid <= std::size(sizes); ++pid) {
    machine.Run(pid, "C:\\Apps\\app" + std::to_string(pid) + ".exe",
                std::string(sizes[pid - 1], 'x'));
  }
  std::vector<std::pair<int, int>> opensAndReads;
  std::function<void()> record = [&] {
    opensAndReads.emplace_back(machine.sim.faults.Calls("FileSystem.OpenForRead"),
                               machine.sim.faults.Calls("FileSystem.Read"));
    machine.sim.loop.Post(record);
  };
  machine.sim.loop.Post(record);
  machine.ClickScan();
  EXPECT_EQ(opensAndReads,
            (std::vector<std::pair<int, int>>{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 5}, {6, 7}}));
  EXPECT_EQ(machine.sim.faults.Calls("FileSystem.Read"), 11);
}

// The pass finds what the rules find in each whole file, wherever the chunk
// borders fall: the longest text of all, as whole or one byte short, begins
// at every offset around the first borders.
TEST(ScanDriver, DetectsAsTheWholeFileRulesWhereverChunkBordersFall) {
  const std::vector<std::vector<std::string>> rules = SignatureRuleTexts();
  const std::vector<std::string>& rule2 = rules[1];
  for (const std::size_t chunk : {1, 5, 15, 16, 17, 40}) {
    SCOPED_TRACE(::testing::Message() << "chunk " << chunk);
    SimMachine machine;
    Form2TestAccess::SetScanChunkBytes(machine.form, chunk);
    std::vector<std::string> expected;
    std::uint32_t pid = 0;
    for (std::size_t offset = 0; offset <= 2 * chunk + rule2[0].size(); ++offset) {
      for (const std::size_t cut : {0, 1}) {
        const std::string contents = std::string(offset, '.') +
                                     rule2[0].substr(0, rule2[0].size() - cut) + "." + rule2[1];
        ++pid;
        machine.Run(pid, "C:\\Apps\\app" + std::to_string(pid) + ".exe", contents);
        if (reference::FirstMatchingRuleByRule(contents, rules) != 0) {
          expected.push_back(std::to_string(pid));
        }
      }
    }
    machine.ClickScan();
    EXPECT_EQ(DetectedPids(machine), expected);
  }
}

// Only a file read to its end counts. bad.exe takes reads 1 to 8 and has
// shown both its texts by the end of read 3; clean.exe, of the same size,
// reads 9 to 16 into the buffer bad.exe left behind.
TEST(ScanDriver, AReadFailingPartWayLeavesTheFileUndetected) {
  const std::string bad = kInfectedBytes + std::string(40, 'x');
  const struct {
    int failingRead;
    std::vector<std::string> detected;
  } cases[] = {
      {0, {"1"}}, {1, {}}, {3, {}}, {4, {}}, {8, {}}, {9, {"1"}}, {16, {"1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "read " << c.failingRead << " fails");
    SimMachine machine;
    Form2TestAccess::SetScanChunkBytes(machine.form, 8);
    machine.Run(1, "C:\\Apps\\bad.exe", bad);
    machine.Run(2, "C:\\Apps\\clean.exe", std::string(bad.size(), 'x'));
    if (c.failingRead != 0) {
      machine.sim.faults.Fail("FileSystem.Read", win_error::kNotEnoughMemory, c.failingRead);
    }
    machine.ClickScan();
    EXPECT_EQ(DetectedPids(machine), c.detected);
    EXPECT_EQ(machine.form.CoolProgress1().Percent(), 100);
  }
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
