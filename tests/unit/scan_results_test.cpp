#include <gtest/gtest.h>

#include "common/utf.h"
#include "support/form2_test_access.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

const std::string kRun32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

class ScanResults : public ::testing::Test {
 protected:
  void SetUp() override { machine.Run(1234, kBad, kInfectedBytes); }

  void SetRun(RegKey root, std::string_view name, std::string_view data) {
    machine.sim.registry.SetString(root, kRunKey, name, data);
  }
  bool HasRun(RegKey root, std::string_view name) {
    return machine.sim.registry.Value(root, kRunKey, name).has_value();
  }

  SimMachine machine;
};

// The caption counts the rows; the log block and the ActivityLog list them,
// a new scan's block after the last one's, and its summary in place of the
// last, stamped with the locale's separators and the 24-hour clock. A
// missing Run key (HKCU's here) leaves the other root done.
TEST_F(ScanResults, CaptionLogBlockAndActivityLogByteForByte) {
  SetRun(kHklm, "bad", kBad);
  machine.ClickScan();
  EXPECT_FALSE(HasRun(kHklm, "bad"));
  EXPECT_EQ(machine.form.Caption(C::Label6), "1 process was detected as MarbleFox and was terminated:");
  EXPECT_FALSE(machine.form.Visible(C::scanstatus));
  EXPECT_EQ(machine.sim.window.Focused(), C::Command5);
  const std::string first = machine.ScanLog();
  machine.BackToStart();
  machine.Run(1234, kBad, kInfectedBytes);
  machine.sim.processes.AddProcess(4294000000u, kBad);
  machine.sim.clock.Set({2026, 2, 6, 23, 7, 1});
  machine.sim.clock.SetSeparators(".", "-");
  machine.ClickScan();
  EXPECT_EQ(machine.form.Caption(C::Label6), "2 processes were detected as MarbleFox and were terminated:");
  const std::string block =
      "The following processes were detected as MarbleFox:\r\n"
      "Scanned on: 23.07.01 02-06-2026 with Foxbane v1.61\r\n"
      "C:\\Program Files\\Bad Co\\bad.exe - [PID]: 1234\r\n"
      "C:\\Program Files\\Bad Co\\bad.exe - [PID]: -967296";
  EXPECT_EQ(machine.ScanLog(), first + "\r\n" + std::string(80, '-') + "\r\n" + block + "\r\n");
  EXPECT_EQ(machine.form.LogTextText(), "--------------------\r\n" + block);
  EXPECT_EQ(machine.sim.window.Text(C::LogText), machine.form.LogTextText());
}

// A program of the user's renamed another program's running file and put
// one with the adware's texts at its old path. The system still names that
// path as the other program's, and the scan finds the file there; only the
// process running the very file scanned is ended, not the other program.
TEST_F(ScanResults, AProcessWhoseFileWasRenamedAwayIsNotEnded) {
  const std::string tool = "C:\\Users\\Pat\\tool.exe";
  const std::string renamed = "C:\\Users\\Pat\\tool-renamed.exe";
  machine.sim.files.WriteFile(renamed, kCleanBytes);
  machine.sim.processes.AddProcess(300, tool);
  machine.sim.processes.SetImageIdentity(300, machine.sim.files.IdentityOf(renamed));
  machine.sim.files.WriteFile(tool, kInfectedBytes);
  machine.ClickScan();
  EXPECT_TRUE(machine.sim.processes.IsRunning(300));
  EXPECT_FALSE(machine.sim.processes.IsRunning(1234));
  EXPECT_TRUE(machine.sim.messages.shown().empty());
}

TEST_F(ScanResults, ProgramAtADriveRootLogsWithoutADoubledBackslash) {
  machine.sim.environment.SetApplicationFolder("C:\\");
  EXPECT_EQ(Form2TestAccess::ScanLogPath(machine.form), "C:\\scanlog.txt");
}

// A log with any attributes is made normal and appended to.
TEST(ScanLog, ALogWithAnyAttributesIsMadeNormalAndAppendedTo) {
  using namespace file_attribute;
  for (std::uint32_t attributes : {kReadOnly, kHidden, kSystem, kReadOnly | kHidden | kSystem}) {
    SCOPED_TRACE(attributes);
    SimMachine machine;
    machine.Run(1234, kBad, kInfectedBytes);
    machine.sim.files.WriteFile(machine.ScanLogPath(), "earlier record\r\n", attributes);
    machine.ClickScan();
    EXPECT_TRUE(machine.ScanLog().starts_with("earlier record\r\n\r\n----"));
    EXPECT_EQ(machine.sim.files.Attributes(machine.ScanLogPath()).value_or(attributes) & attributes, 0u);
  }
}

// A Run value goes when its data, as stored and read as text of its type,
// contains a detected path in the same case; a value matching two rows is
// deleted once. Machine-wide values are looked for in both views.
TEST_F(ScanResults, RunValuesMatchByCaseSensitiveContainmentUnderBothRootsAndViews) {
  auto& registry = machine.sim.registry;
  machine.sim.processes.AddProcess(1235, kBad);
  const std::string wide = Utf16LeBytesFromUtf8(kBad);
  const struct { RegKey root; std::string_view key; std::string name; std::uint32_t type; std::string data;
                 bool removed; } values[] = {
      {kHkcu, kRunKey, "quoted", reg_type::kString, "\"" + kBad + "\" /silent", true},
      {kHkcu, kRunKey, "longer", reg_type::kString, kBad + ".bak", true},
      {kHkcu, kRunKey, "expand", reg_type::kExpandString, Utf16LeBytesFromUtf8(kBad + '\0'), true},
      {kHkcu, kRunKey, "multi", reg_type::kMultiString,
       wide + std::string(2, '\0') + Utf16LeBytesFromUtf8("x") + std::string(4, '\0'), true},
      // Binary data are compared byte for byte, as the single-byte text they hold.
      {kHkcu, kRunKey, "binary", reg_type::kBinary, kBad + '\0', true},
      {kHkcu, kRunKey, "huge", reg_type::kString, std::string(1 << 20, 'x') + kBad, true},
      {kHkcu, kRunKey, std::string(16383, 'v'), reg_type::kString, kBad, true},
      {kHkcu, kRunKey, "othercase", reg_type::kString, "C:\\program files\\bad co\\BAD.EXE", false},
      {kHkcu, kRunKey, "empty", reg_type::kString, "", false},
      {kHkcu, kRunKey, "unexpanded", reg_type::kString, "%ProgramFiles%\\Bad Co\\bad.exe", false},
      {kHkcu, kRunKey, "wide binary", reg_type::kBinary, wide, false},
      {kHkcu, kRunKey, "none", reg_type::kNone, "", false},
      {kHkcu, kRunKey, "dword", reg_type::kDword, "\x01\x02\x03\x04", false},
      {kHkcu, kRunKey, "qword", reg_type::kQword, std::string(8, '\x7f'), false},
      {kHkcu, kRunKey, "odd", reg_type::kString, std::string("\x41\x00\x42", 3), false},
      {kHklm, kRunKey, "bad", reg_type::kString, kBad, true},
      {kHklm, kRun32, "bad", reg_type::kString, "\"" + kBad + "\" /tray", true},
      {kHklm, kRun32, "other", reg_type::kString, "C:\\Apps\\other.exe", false},
  };
  for (int i = 0; i < 10000; ++i) {
    registry.SetString(kHkcu, kRunKey, "entry" + std::to_string(i), "C:\\Apps\\app" + std::to_string(i) + ".exe");
  }
  for (const auto& v : values) {
    if (v.type == reg_type::kString) registry.SetString(v.root, v.key, v.name, v.data);
    else registry.SetValue(v.root, v.key, v.name, v.type, v.data);
  }
  machine.ClickScan();
  for (const auto& v : values) {
    EXPECT_EQ(registry.Value(v.root, v.key, v.name).has_value(), !v.removed) << v.name.substr(0, 20);
  }
  EXPECT_EQ(registry.ValueNames(kHkcu, kRunKey).size(), 10008u);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);

  // On 32-bit Windows there is only the one view.
  SimMachine oneView;
  oneView.sim.registry.UseOneView();
  oneView.Run(1234, kBad, kInfectedBytes);
  oneView.sim.registry.SetString(kHklm, kRun32, "bad", kBad);
  oneView.sim.registry.SetString(kHklm, kRunKey, "bad", kBad);
  oneView.ClickScan();
  EXPECT_TRUE(oneView.sim.registry.Value(kHklm, kRun32, "bad").has_value());
  EXPECT_FALSE(oneView.sim.registry.Value(kHklm, kRunKey, "bad").has_value());
}

// A root whose Run key is refused leaves the other root done, and nothing is shown.
TEST_F(ScanResults, ARunKeyThatCannotBeOpenedLeavesTheOtherRootDone) {
  SetRun(kHkcu, "bad", kBad);
  SetRun(kHklm, "bad", kBad);
  machine.sim.faults.Fail("Registry.OpenKey", win_error::kAccessDenied, sim::Faults::kEveryCall,
                          "HKEY_LOCAL_MACHINE");
  machine.ClickScan();
  EXPECT_FALSE(HasRun(kHkcu, "bad"));
  EXPECT_TRUE(HasRun(kHklm, "bad"));
  EXPECT_TRUE(machine.form.Visible(C::results));
  EXPECT_TRUE(machine.sim.messages.shown().empty());
}

TEST_F(ScanResults, CleanupClickedAtTheYieldRunsToItsEndBeforeHklm) {
  SetRun(kHkcu, "bad", kBad);
  SetRun(kHklm, "bad", kBad);
  std::vector<bool> seen;  // HKCU's value, HKLM's, the activity panel after the click
  std::function<void()> clickWhenResultsShow = [&] {
    if (!machine.form.Visible(C::results)) return machine.sim.loop.Post(clickWhenResultsShow);
    seen = {HasRun(kHkcu, "bad"), HasRun(kHklm, "bad")};
    machine.ClickCleanup();
    seen.push_back(machine.form.Visible(C::activityframe));
  };
  machine.sim.loop.Post(clickWhenResultsShow);
  machine.ClickScan();
  EXPECT_EQ(seen, (std::vector<bool>{false, true, true}));
  EXPECT_FALSE(HasRun(kHklm, "bad"));
  // The cleanup's entries come after the block, and the results step ends
  // after the cleanup without undoing its panels.
  EXPECT_NE(machine.ScanLog().find("[PROTECTION]"), std::string::npos);
  EXPECT_TRUE(machine.form.Visible(C::activityframe));
}

}  // namespace
}  // namespace foxbane::testing
