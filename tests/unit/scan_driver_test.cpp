#include <gtest/gtest.h>

#include <tuple>

#include "support/sim_machine.h"
#include "support/form2_test_access.h"

namespace foxbane::testing {
namespace {

using C = ControlId;
using Rows = std::vector<std::pair<std::string, std::string>>;
using Shown = std::vector<std::pair<ControlId, bool>>;

// Each file is opened, the loop is yielded to once, and only then is the file
// read: to its end, one chunk at a time, a short read ending it. Each yield
// shows what the previous process left on the bar; by the first, the status
// panel (shown twice over), the scanning text and the bar are up.
TEST(ScanDriver, YieldsAfterEachOpenThenReadsInChunksAndRoundsTheProgressHalfToEven) {
  SimMachine machine;
  Form2TestAccess::SetScanChunkBytes(machine.form, 10);
  const std::size_t sizes[] = {0, 1, 9, 10, 11, 30, 0, 0};
  for (std::uint32_t pid = 1; pid <= std::size(sizes); ++pid) {
    machine.Run(pid, "C:\\Apps\\app" + std::to_string(pid) + ".exe", std::string(sizes[pid - 1], 'x'));
  }
  const std::size_t logged = machine.sim.window.VisibilityLog().size();
  std::vector<std::tuple<int, int, int>> seen;  // percent, opens, reads
  std::function<void()> record = [&] {
    if (seen.empty()) {
      const auto& log = machine.sim.window.VisibilityLog();
      EXPECT_EQ(Shown(log.begin() + static_cast<std::ptrdiff_t>(logged), log.end()),
                (Shown{{C::scanstatus, true}, {C::scanstatus, true}, {C::activityframe, false},
                       {C::CoolProgress1, true}}));
      EXPECT_EQ(machine.sim.window.Text(C::Label5), "Scanning All Running Processes...");
    }
    const sim::Faults& calls = machine.sim.faults;
    seen.emplace_back(machine.form.CoolProgress1().Percent(), calls.Calls("FileSystem.OpenForRead"),
                      calls.Calls("FileSystem.Read"));
    machine.sim.loop.Post(record);
  };
  machine.sim.loop.Post(record);
  machine.ClickScan();
  EXPECT_EQ(seen, (std::vector<std::tuple<int, int, int>>{{0, 1, 0}, {12, 2, 1}, {25, 3, 2}, {38, 4, 3},
                                                          {50, 5, 5}, {62, 6, 7}, {75, 7, 11}, {88, 8, 12}}));
  EXPECT_EQ(machine.sim.faults.Calls("FileSystem.Read"), 13);
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 100);
  EXPECT_FALSE(machine.form.Visible(C::results));
}

TEST(ScanDriver, NothingListedLeavesTheBarAndTheLoopAlone) {
  SimMachine machine;
  machine.sim.processes.SetPlatformId(3);
  Form2TestAccess::CoolProgress1(machine.form).Percent(40);
  machine.ClickScan();
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 40);
  EXPECT_EQ(machine.sim.loop.yields(), 0);
}

// A listed path that is not on a drive letter is never opened: a UNC path
// would log on to a server, a pipe would let its server act as the user; a
// "\\?\" path whose plain form names another file (a trailing dot) stays
// as refused. Like the files that cannot be read, each still counts and
// yields once.
TEST(ScanDriver, UnreadableFilesAndPathsOffADriveLetterAreSkippedButCounted) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\locked.exe", kInfectedBytes);
  machine.sim.faults.Fail("FileSystem.OpenForRead", win_error::kSharingViolation, sim::Faults::kEveryCall,
                          "C:\\Apps\\locked.exe");
  machine.Run(2, "C:\\Apps\\empty.exe", "");
  machine.sim.processes.AddProcess(3, "C:\\Apps\\gone.exe");
  std::uint32_t pid = 4;
  for (const char* path : {"\\\\server\\share\\bad.exe", "\\\\.\\pipe\\bad", "\\\\?\\C:\\Apps\\bad.exe.",
                           "\\\\?\\UNC\\server\\share\\bad.exe", "Apps\\bad.exe", "C:bad.exe"}) {
    machine.sim.processes.AddProcess(pid++, path);
  }
  machine.Run(pid, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.ClickScan();
  EXPECT_EQ(machine.sim.faults.Calls("FileSystem.OpenForRead"), 4);
  EXPECT_EQ(machine.sim.loop.yields(), static_cast<int>(pid) + 1);  // and the results step's
  EXPECT_EQ(machine.sim.window.Rows(C::ResultsList), (Rows{{"C:\\Apps\\bad.exe", std::to_string(pid)}}));
  EXPECT_EQ(machine.form.CoolProgress1().Percent(), 100);
  EXPECT_TRUE(machine.sim.messages.shown().empty());
}

// Only a file read to its end counts. bad.exe shows its key text by read
// 2 (read 3 is the one read while read 2 is searched), is read again from
// its start in reads 4 to 11 and has shown both its texts by the end of read
// 6; clean.exe, of the same size and without a key, reads 12 to 19 into the
// buffer bad.exe left behind. Going back to the start can fail too.
TEST(ScanDriver, AReadFailingPartWayLeavesTheFileUndetected) {
  const std::string bad = kInfectedBytes + std::string(40, 'x');
  const struct {
    const char* operation;
    int call;
    bool detected;
  } cases[] = {{"FileSystem.Read", 1, false}, {"FileSystem.Read", 2, false},
               {"FileSystem.Read", 3, false}, {"FileSystem.Read", 4, false},
               {"FileSystem.Read", 6, false}, {"FileSystem.Read", 11, false},
               {"FileSystem.Read", 12, true}, {"FileSystem.Read", 19, true},
               {"FileSystem.Rewind", 1, false}, {nullptr, 0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.operation ? c.operation : "nothing") << " " << c.call << " fails");
    SimMachine machine;
    Form2TestAccess::SetScanChunkBytes(machine.form, 8);
    machine.Run(1, "C:\\Apps\\bad.exe", bad);
    machine.Run(2, "C:\\Apps\\clean.exe", std::string(bad.size(), 'x'));
    if (c.operation != nullptr) machine.sim.faults.Fail(c.operation, win_error::kNotEnoughMemory, c.call);
    machine.ClickScan();
    EXPECT_EQ(machine.sim.window.Rows(C::ResultsList),
              (c.detected ? Rows{{"C:\\Apps\\bad.exe", "1"}} : Rows{}));
    if (c.operation == nullptr) {
      EXPECT_EQ(machine.sim.faults.Calls("FileSystem.Read"), 19);
      EXPECT_EQ(machine.sim.faults.Calls("FileSystem.Rewind"), 1);
    }
    EXPECT_EQ(machine.form.CoolProgress1().Percent(), 100);
  }
}

// A PID above 2^31 shows as the signed number it was listed as.
TEST(ScanDriver, ASecondScanStartsAfreshAndGivesEachRunningCopyItsRow) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\bad.exe", kInfectedBytes);
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);

  machine.BackToStart();
  const std::string worse = "C:\\Apps\\worse.exe";
  machine.Run(10, worse, kInfectedBytes);
  machine.sim.processes.AddProcess(4294000000u, worse);
  machine.ClickScan();
  EXPECT_EQ(machine.sim.window.Rows(C::ResultsList), (Rows{{worse, "10"}, {worse, "-967296"}}));
  // Laid out afresh, with the process list's widths rather than its own.
  EXPECT_DOUBLE_EQ(machine.form.ResultsList().Columns().at(0).widthTwips, 5535 * 0.8);
}

}  // namespace
}  // namespace foxbane::testing
