#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/form2.h"
#include "sim/sim_platform.h"

namespace foxbane {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

class ListProcessesTest : public ::testing::Test {
 protected:
  Rows Listed() {
    form_.ListProcesses();
    EXPECT_EQ(sim_.processes.OpenHandleCount(), 0u) << "a snapshot or process handle was kept";
    Rows rows;
    for (std::int32_t i = 1; i <= form_.lvwProcess().Count(); ++i) {
      rows.emplace_back(form_.lvwProcess().Item(i).text, form_.lvwProcess().Item(i).pidText);
    }
    EXPECT_EQ(rows, sim_.window.Rows(ControlId::lvwProcess)) << "the window shows other rows";
    return rows;
  }
  // `count` processes with PIDs 100, 104, ...
  void AddProcesses(int count) {
    for (int i = 0; i < count; ++i) {
      sim_.processes.AddProcess(100 + 4 * i, "C:\\Apps\\app" + std::to_string(i) + ".exe");
    }
  }

  sim::SimPlatform sim_;
  Form2 form_{sim_.platform};
};

TEST_F(ListProcessesTest, ListsEveryReadableProcessInSystemOrderWithItsPathAsReported) {
  sim_.processes.AddProcess(4, "\\SystemRoot\\System32\\smss.exe");
  sim_.processes.AddProcess(612, "C:\\WINDOWS\\Explorer.EXE");
  sim_.processes.AddProcess(700, "C:\\Program Files\\Tool\\tool.exe");
  sim_.processes.AddProcess(708, "C:\\Program Files\\Tool\\tool.exe");
  sim_.processes.AddProcess(4294000000u, "C:\\Apps\\high.exe");
  EXPECT_EQ(Listed(), (Rows{{"C:\\WINDOWS\\Explorer.EXE", "612"},
                            {"C:\\Program Files\\Tool\\tool.exe", "700"},
                            {"C:\\Program Files\\Tool\\tool.exe", "708"},
                            {"C:\\Apps\\high.exe", "-967296"}}));
}

TEST_F(ListProcessesTest, LeavesOutNativePathsButOnlyInTheirExactCase) {
  sim_.processes.AddProcess(8, "\\??\\C:\\Windows\\system32\\csrss.exe");
  sim_.processes.AddProcess(12, "\\SystemRoot\\System32\\smss.exe");
  sim_.processes.AddProcess(16, "\\systemroot\\System32\\lsass.exe");
  sim_.processes.AddProcess(20, "\\SYSTEMROOT\\System32\\winlogon.exe");
  sim_.processes.AddProcess(24, "\\\\?\\C:\\Very Long Path\\app.exe");
  sim_.processes.AddProcess(28, "\\??");
  EXPECT_EQ(Listed(), (Rows{{"\\systemroot\\System32\\lsass.exe", "16"},
                            {"\\SYSTEMROOT\\System32\\winlogon.exe", "20"},
                            {"\\\\?\\C:\\Very Long Path\\app.exe", "24"},
                            {"\\??", "28"}}));
}

TEST_F(ListProcessesTest, SkipsProcessesThatCannotBeOpenedOrWhoseModulesCannotBeRead) {
  AddProcesses(3);
  sim_.processes.DenyOpen(100);
  sim_.processes.HideModules(104);
  EXPECT_EQ(Listed(), (Rows{{"C:\\Apps\\app2.exe", "108"}}));
}

TEST_F(ListProcessesTest, ListsAProcessWhoseNameCannotBeReadWithAnEmptyName) {
  AddProcesses(2);
  sim_.faults.Fail("Processes.ModuleFileName", win_error::kAccessDenied, 1);
  EXPECT_EQ(Listed(), (Rows{{"", "100"}, {"C:\\Apps\\app1.exe", "104"}}));
}

// The buffer doubles from 16 bytes until the system writes fewer bytes than
// it holds, so a buffer filled exactly is doubled once more.
TEST_F(ListProcessesTest, GrowsTheIdBufferUntilTheSystemLeavesRoomInIt) {
  struct Case {
    int processes;
    int calls;
  };
  for (const Case c : {Case{0, 1}, Case{3, 1}, Case{4, 2}, Case{7, 2}, Case{8, 3}, Case{24, 4},
                       Case{40, 5}}) {
    sim::SimPlatform sim;
    Form2 form{sim.platform};
    for (int i = 0; i < c.processes; ++i) {
      sim.processes.AddProcess(100 + 4 * i, "C:\\Apps\\app" + std::to_string(i) + ".exe");
    }
    form.ListProcesses();
    EXPECT_EQ(sim.faults.Calls("Processes.EnumerateIds"), c.calls) << c.processes << " processes";
    EXPECT_EQ(form.lvwProcess().Count(), c.processes);
  }
}

TEST_F(ListProcessesTest, KeepsDoublingPastAFailedEnumeration) {
  AddProcesses(3);
  sim_.faults.Fail("Processes.EnumerateIds", win_error::kNotEnoughMemory, 1);
  EXPECT_EQ(Listed().size(), 3u);
  EXPECT_EQ(sim_.faults.Calls("Processes.EnumerateIds"), 2);
}

// A failed last call leaves only the buffer's zeros, which are no PIDs.
TEST_F(ListProcessesTest, ListsNothingAndOpensNothingWhenEnumerationFails) {
  AddProcesses(3);
  sim_.faults.Fail("Processes.EnumerateIds", win_error::kNotEnoughMemory);
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(sim_.faults.Calls("Processes.Open"), 0);
}

TEST_F(ListProcessesTest, OnThe9xFamilyListsSnapshotNamesInLowerCase) {
  sim_.processes.SetPlatformId(1);
  sim_.processes.AddProcess(0xFFF1A2B3, "C:\\WINDOWS\\EXPLORER.EXE", "C:\\WINDOWS\\EXPLORER.EXE");
  sim_.processes.AddProcess(0xFFF1C0DE, "C:\\PROGRAMME\\ÜBER ÇA\\ŒUVRE.EXE",
                            "C:\\PROGRAMME\\ÜBER ÇA\\ŒUVRE.EXE");
  // Nothing is opened on this family, so nothing is left out.
  sim_.processes.AddProcess(0xFFF1D00D, "C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL", "\\??\\KERNEL32.DLL");
  sim_.processes.DenyOpen(0xFFF1D00D);
  EXPECT_EQ(Listed(), (Rows{{"c:\\windows\\explorer.exe", "-941389"},
                            {"c:\\programme\\über ça\\œuvre.exe", "-933666"},
                            {"\\??\\kernel32.dll", "-929779"}}));
  EXPECT_EQ(sim_.faults.Calls("Processes.EnumerateIds"), 0);
}

TEST_F(ListProcessesTest, OnThe9xFamilyStopsWhereTheSnapshotFails) {
  sim_.processes.SetPlatformId(1);
  AddProcesses(3);
  sim_.faults.Fail("Processes.Next", win_error::kNotEnoughMemory, 2);
  EXPECT_EQ(Listed(), (Rows{{"app0.exe", "100"}, {"app1.exe", "104"}}));
  sim_.faults.Fail("Processes.TakeSnapshot", win_error::kNotEnoughMemory);
  EXPECT_TRUE(Listed().empty());
}

TEST_F(ListProcessesTest, AnyOtherPlatformLeavesTheListLaidOutAndEmpty) {
  AddProcesses(2);
  EXPECT_EQ(Listed().size(), 2u);
  for (const int platform : {0, 3}) {
    sim_.processes.SetPlatformId(platform);
    EXPECT_TRUE(Listed().empty()) << "platform " << platform;
    const std::vector<ListColumn>& columns = sim_.window.Columns(ControlId::lvwProcess);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].caption, "Process");
    EXPECT_DOUBLE_EQ(columns[0].widthTwips, 0.8 * 5535);
    EXPECT_EQ(columns[1].caption, "PID");
    EXPECT_DOUBLE_EQ(columns[1].widthTwips, 0.175 * 5535);
  }
}

}  // namespace
}  // namespace foxbane
