#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/form2.h"
#include "sim/sim_platform.h"
#include "support/form2_test_access.h"

namespace foxbane {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

class ListProcessesTest : public ::testing::Test {
 protected:
  Rows Listed() {
    Form2TestAccess::ListProcesses(form_);
    EXPECT_EQ(sim_.processes.OpenHandleCount(), 0u) << "a snapshot or process handle was kept";
    Rows rows;
    for (std::int32_t i = 1; i <= form_.lvwProcess().Count(); ++i) {
      rows.emplace_back(form_.lvwProcess().Item(i).text, form_.lvwProcess().Item(i).pidText);
    }
    EXPECT_EQ(rows, sim_.window.Rows(ControlId::lvwProcess)) << "the window shows other rows";
    return rows;
  }
  // Brings the table to `count` processes: app<i>.exe with PID 100 + 4 i.
  void AddProcessesUpTo(int count) {
    for (; added_ < count; ++added_) {
      sim_.processes.AddProcess(100 + 4 * added_, "C:\\Apps\\app" + std::to_string(added_) + ".exe");
    }
  }
  // Calls of `operation` while listing once.
  int CallsWhileListing(const char* operation) {
    const int before = sim_.faults.Calls(operation);
    Listed();
    return sim_.faults.Calls(operation) - before;
  }

  sim::SimPlatform sim_;
  Form2 form_{sim_.platform};
  int added_ = 0;
};

// Native paths are left out only in their exact case; a local "\\?\" path
// shows in its plain form, a UNC one as it is; PIDs show as signed. The
// list is laid out afresh each time, whatever the family.
TEST_F(ListProcessesTest, ListsEveryReadableProcessInSystemOrderWithItsPathAsReported) {
  const std::pair<std::uint32_t, const char*> table[] = {
      {4, "\\SystemRoot\\System32\\smss.exe"},   {612, "C:\\WINDOWS\\Explorer.EXE"},
      {700, "C:\\Program Files\\T\\t.exe"},       {708, "C:\\Program Files\\T\\t.exe"},
      {4294000000u, "C:\\Apps\\high.exe"},       {8, "\\??\\C:\\Windows\\system32\\csrss.exe"},
      {16, "\\systemroot\\System32\\lsass.exe"}, {20, "\\SYSTEMROOT\\System32\\winlogon.exe"},
      {24, "\\\\?\\C:\\Long Path\\app.exe"},    {28, "\\??"},
      {32, "\\\\?\\UNC\\server\\share\\a.exe"}};
  for (const auto& [pid, path] : table) sim_.processes.AddProcess(pid, path);
  EXPECT_EQ(Listed(),
            (Rows{{"C:\\WINDOWS\\Explorer.EXE", "612"}, {"C:\\Program Files\\T\\t.exe", "700"},
                  {"C:\\Program Files\\T\\t.exe", "708"}, {"C:\\Apps\\high.exe", "-967296"},
                  {"\\systemroot\\System32\\lsass.exe", "16"},
                  {"\\SYSTEMROOT\\System32\\winlogon.exe", "20"},
                  {"C:\\Long Path\\app.exe", "24"}, {"\\??", "28"},
                  {"\\\\?\\UNC\\server\\share\\a.exe", "32"}}));
  // Any other family leaves the list laid out and empty.
  sim_.processes.SetPlatformId(0);
  EXPECT_TRUE(Listed().empty());
  const std::vector<ListColumn>& columns = sim_.window.Columns(ControlId::lvwProcess);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].caption + "|" + columns[1].caption, "Process|PID");
  EXPECT_DOUBLE_EQ(columns[0].widthTwips, 0.8 * 5535);
  EXPECT_DOUBLE_EQ(columns[1].widthTwips, 0.175 * 5535);
}

// With the image-path query a process is listed whenever the limited query
// reaches it, its modules readable or not, and left out when the path cannot
// be read. Without it (before Vista) the module list decides, and a process
// whose name cannot be read is listed with an empty name. Either way each
// row keeps when its process started, and a path longer than the old
// 260-character buffers is kept whole; the snapshot has no start times.
TEST_F(ListProcessesTest, SkipsProcessesThatCannotBeOpenedOrWhoseNamesCannotBeRead) {
  const auto expectStartTimesInOrder = [&] {
    EXPECT_NE(form_.lvwProcess().Item(1).started, 0u);
    for (std::int32_t i = 2; i <= form_.lvwProcess().Count(); ++i) {
      EXPECT_GT(form_.lvwProcess().Item(i).started, form_.lvwProcess().Item(i - 1).started);
    }
  };
  AddProcessesUpTo(4);
  const std::string longPath = "C:\\Program Files\\" + std::string(300, 'p') + "\\app.exe";
  sim_.processes.AddProcess(116, longPath);
  sim_.processes.DenyOpen(100);
  sim_.processes.HideModules(104);
  sim_.faults.Fail("Processes.ImagePath", win_error::kAccessDenied, 2);
  EXPECT_EQ(Listed(),
            (Rows{{"C:\\Apps\\app1.exe", "104"}, {"C:\\Apps\\app3.exe", "112"}, {longPath, "116"}}));
  expectStartTimesInOrder();

  sim_.processes.RemoveImagePathQuery();
  sim_.faults.Fail("Processes.ModuleFileName", win_error::kAccessDenied,
                   sim_.faults.Calls("Processes.ModuleFileName") + 1);
  EXPECT_EQ(Listed(), (Rows{{"", "108"}, {"C:\\Apps\\app3.exe", "112"}, {longPath, "116"}}));
  expectStartTimesInOrder();
  sim_.processes.SetPlatformId(1);
  Listed();
  EXPECT_EQ(form_.lvwProcess().Item(1).started, 0u);
}

// The buffer doubles from 16 bytes until the system writes fewer bytes than
// it holds, so a buffer filled exactly is doubled once more. A failed call
// leaves only the buffer's zeros, which are no PIDs: the list is empty
// unless a later, larger call succeeds.
TEST_F(ListProcessesTest, GrowsTheIdBufferUntilTheSystemLeavesRoomInIt) {
  for (const auto& [processes, calls] :
       {std::pair{0, 1}, {3, 1}, {4, 2}, {7, 2}, {8, 3}, {24, 4}, {40, 5}}) {
    SCOPED_TRACE(testing::Message() << processes << " processes");
    AddProcessesUpTo(processes);
    EXPECT_EQ(CallsWhileListing("Processes.EnumerateIds"), calls);
    EXPECT_EQ(form_.lvwProcess().Count(), processes);
  }
  const int next = sim_.faults.Calls("Processes.EnumerateIds") + 1;
  sim_.faults.Fail("Processes.EnumerateIds", win_error::kNotEnoughMemory, next);  // the 16-byte call
  EXPECT_EQ(CallsWhileListing("Processes.EnumerateIds"), 5);
  EXPECT_EQ(form_.lvwProcess().Count(), 40);
  sim_.faults.Fail("Processes.EnumerateIds", win_error::kNotEnoughMemory);
  const int opened = sim_.faults.Calls("Processes.Open");
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(sim_.faults.Calls("Processes.Open"), opened);
}

// Nothing is opened on this family, so nothing is left out; the list ends
// where the snapshot fails. Code page 1252 has capitals beyond ASCII, but
// not the multiplication sign between them.
TEST_F(ListProcessesTest, OnThe9xFamilyListsSnapshotNamesInLowerCaseUntilTheSnapshotFails) {
  sim_.processes.SetPlatformId(1);
  sim_.processes.AddProcess(0xFFF1A2B3, "C:\\WINDOWS\\EXPLORER.EXE", "C:\\WINDOWS\\EXPLORER.EXE");
  sim_.processes.AddProcess(0xFFF1C0DE, "C:\\PROGRAMME\\ÀÞ×ÜBER ÇA\\ŒUVRE ŠŽŸ.EXE",
                            "C:\\PROGRAMME\\ÀÞ×ÜBER ÇA\\ŒUVRE ŠŽŸ.EXE");
  sim_.processes.AddProcess(0xFFF1D00D, "C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL", "\\??\\KERNEL32.DLL");
  sim_.processes.DenyOpen(0xFFF1D00D);
  EXPECT_EQ(Listed(), (Rows{{"c:\\windows\\explorer.exe", "-941389"},
                            {"c:\\programme\\àþ×über ça\\œuvre šžÿ.exe", "-933666"},
                            {"\\??\\kernel32.dll", "-929779"}}));
  EXPECT_EQ(sim_.faults.Calls("Processes.EnumerateIds"), 0);

  sim_.faults.Fail("Processes.Next", win_error::kNotEnoughMemory, sim_.faults.Calls("Processes.Next") + 2);
  EXPECT_EQ(Listed(), (Rows{{"c:\\windows\\explorer.exe", "-941389"},
                            {"c:\\programme\\àþ×über ça\\œuvre šžÿ.exe", "-933666"}}));
  sim_.faults.Fail("Processes.TakeSnapshot", win_error::kNotEnoughMemory);
  EXPECT_TRUE(Listed().empty());
}

}  // namespace
}  // namespace foxbane
