#include <gtest/gtest.h>

#include "app/texts.h"
#include "common/utf.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

const std::string kBad = "C:\\Program Files\\Bad Co\\bad.exe";

std::string LogPath(SimMachine& machine) {
  return machine.sim.environment.ApplicationFolder() + "\\scanlog.txt";
}

TEST(BadInput, RunKeyWithTenThousandValuesAndOneOfAMebibyte) {
  SimMachine machine;
  machine.Run(1, kBad, kInfectedBytes);
  auto& registry = machine.sim.registry;
  for (int i = 0; i < 10000; ++i) {
    registry.SetString(kHkcu, kRunKey, "entry" + std::to_string(i), "C:\\Apps\\app" + std::to_string(i) + ".exe");
  }
  registry.SetString(kHkcu, kRunKey, "huge", std::string(1 << 20, 'x') + kBad);
  registry.SetString(kHkcu, kRunKey, "entry5000", "\"" + kBad + "\"");
  machine.ClickScan();
  EXPECT_FALSE(registry.Value(kHkcu, kRunKey, "huge").has_value());
  EXPECT_FALSE(registry.Value(kHkcu, kRunKey, "entry5000").has_value());
  EXPECT_EQ(registry.ValueNames(kHkcu, kRunKey).size(), 9999u);
}

TEST(BadInput, LongestNamesWindowsAllows) {
  SimMachine machine;
  // A path of 259 characters, the longest the ANSI functions take, and a value
  // name of 16383 characters, the longest Windows allows.
  const std::string folder = "C:\\Program Files\\" + std::string(197, 'f');
  const std::string path = folder + "\\" + std::string(40, 'n') + ".exe";
  machine.Run(1, path, kInfectedBytes);
  const std::string longestValueName(16383, 'v');
  machine.sim.registry.SetString(kHkcu, kRunKey, longestValueName, path);
  machine.sim.registry.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                            std::string(40, 'n'),
                                 "UninstallString", path);
  machine.ClickScan();
  EXPECT_FALSE(machine.sim.registry.Value(kHkcu, kRunKey, longestValueName).has_value());
  machine.ClickCleanup();
  EXPECT_FALSE(machine.sim.files.FolderExists(folder));
  EXPECT_FALSE(machine.sim.registry.KeyExists(
      kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::string(40, 'n')));
}

TEST(BadInput, ValuesOfEveryTypeUnderTheRunKeysAreComparedAsStored) {
  SimMachine machine;
  machine.Run(1, kBad, kInfectedBytes);
  auto& registry = machine.sim.registry;
  const std::string pathBytes = Utf16LeBytesFromUtf8(kBad);
  registry.SetValue(kHkcu, kRunKey, "none", reg_type::kNone, "");
  registry.SetValue(kHkcu, kRunKey, "dword", reg_type::kDword, std::string("\x01\x02\x03\x04", 4));
  registry.SetValue(kHkcu, kRunKey, "qword", reg_type::kQword, std::string(8, '\x7f'));
  registry.SetValue(kHkcu, kRunKey, "odd", reg_type::kString, std::string("\x41\x00\x42", 3));
  registry.SetValue(kHkcu, kRunKey, "multi", reg_type::kMultiString,
                    pathBytes + std::string(2, '\0') + Utf16LeBytesFromUtf8("x") + std::string(4, '\0'));
  // Binary data are compared byte for byte, as the single-byte text they hold.
  registry.SetValue(kHkcu, kRunKey, "binary", reg_type::kBinary, kBad + std::string(1, '\0'));
  registry.SetValue(kHkcu, kRunKey, "wide binary", reg_type::kBinary, pathBytes);
  machine.ClickScan();
  EXPECT_FALSE(registry.Value(kHkcu, kRunKey, "multi").has_value());
  EXPECT_FALSE(registry.Value(kHkcu, kRunKey, "binary").has_value());
  for (const char* kept : {"none", "dword", "qword", "odd", "wide binary"}) {
    EXPECT_TRUE(registry.Value(kHkcu, kRunKey, kept).has_value()) << kept;
  }
}

TEST(BadInput, CyrillicAndCjkPathsAreFoundRemovedAndLoggedWithQuestionMarksOnlyInTheFile) {
  SimMachine machine;
  const std::string folder = "C:\\Program Files\\Лиса 狐";
  const std::string path = folder + "\\bad.exe";
  machine.Run(42, path, kInfectedBytes);
  machine.sim.registry.SetString(kHkcu, kRunKey, "fox", "\"" + path + "\" -tray");
  machine.ClickScan();
  EXPECT_FALSE(machine.sim.processes.IsRunning(42));
  EXPECT_FALSE(machine.sim.registry.Value(kHkcu, kRunKey, "fox").has_value());
  machine.ClickCleanup();
  EXPECT_FALSE(machine.sim.files.FolderExists(folder));

  const std::string ansiPath = "C:\\Program Files\\???? ?\\bad.exe";
  const std::string log = machine.ScanLog();
  EXPECT_NE(log.find(ansiPath + " - [PID]: 42\r\n"), std::string::npos);
  EXPECT_NE(log.find("[CLEANUP] Deleted File: " + ansiPath + "\r\n"), std::string::npos);
  EXPECT_NE(log.find("[CLEANUP] Deleted Folder: C:\\Program Files\\???? ?\r\n"), std::string::npos);
  EXPECT_NE(machine.form.LogTextText().find("[CLEANUP] Deleted File: " + path + "\r\n"),
            std::string::npos);
}

TEST(BadInput, FileVanishingBetweenListingAndReadingIsSkipped) {
  SimMachine machine;
  machine.Run(1, "C:\\Apps\\first.exe", kCleanBytes);
  machine.Run(2, "C:\\Apps\\vanishing.exe", kInfectedBytes);
  machine.Run(3, kBad, kInfectedBytes);
  machine.sim.loop.Post([&] { machine.sim.files.RemoveFile("C:\\Apps\\vanishing.exe"); });
  machine.ClickScan();
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_EQ(machine.form.ResultsList().Item(1).text, kBad);
}

TEST(BadInput, FileDeletedWhileOpenIsStillReadAsWindowsAllows) {
  SimMachine machine;
  machine.Run(1, kBad, kInfectedBytes);
  machine.sim.loop.Post([&] { machine.sim.files.RemoveFile(kBad); });
  machine.ClickScan();
  EXPECT_EQ(machine.form.ResultsList().Count(), 1);
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
  EXPECT_NO_THROW(machine.ClickScan());
  ASSERT_EQ(machine.form.ResultsList().Count(), 1);
  EXPECT_TRUE(machine.sim.processes.IsRunning(1));
  EXPECT_FALSE(machine.sim.processes.IsRunning(2));
  EXPECT_EQ(machine.ScanLog().find(kBad), std::string::npos);
  EXPECT_NE(machine.ScanLog().find(other + " - [PID]: 2\r\n"), std::string::npos);
  EXPECT_NO_THROW(machine.ClickCleanup());
  EXPECT_TRUE(machine.sim.files.Contents(kBad).has_value());
  EXPECT_FALSE(machine.sim.files.Contents(other).has_value());
  EXPECT_TRUE(machine.form.Visible(C::activityframe));
}

TEST(BadInput, ScanLogWithAnyAttributesIsMadeNormalAndAppended) {
  for (std::uint32_t attributes :
       {file_attribute::kReadOnly, file_attribute::kHidden, file_attribute::kSystem,
        file_attribute::kReadOnly | file_attribute::kHidden | file_attribute::kSystem}) {
    SimMachine machine;
    machine.Run(1, kBad, kInfectedBytes);
    machine.sim.files.WriteFile(LogPath(machine), "old\r\n", attributes);
    machine.ClickScan();
    machine.ClickCleanup();
    EXPECT_TRUE(machine.ScanLog().starts_with("old\r\n\r\n---")) << attributes;
    EXPECT_NE(machine.ScanLog().find("[PROTECTION]"), std::string::npos) << attributes;
  }
}

TEST(BadInput, ScanLogThatIsAFolderIsLeftAloneAndTheScreenStillShowsEverything) {
  SimMachine machine;
  machine.Run(1, kBad, kInfectedBytes);
  machine.sim.files.WriteFile(LogPath(machine) + "\\inside.txt", "keep");
  machine.ClickScan();
  machine.ClickCleanup();
  EXPECT_EQ(machine.sim.files.Contents(LogPath(machine) + "\\inside.txt"), "keep");
  EXPECT_NE(machine.form.LogTextText().find("[PROTECTION]"), std::string::npos);
  EXPECT_TRUE(machine.form.Visible(C::activityframe));
}

// Nothing can be kept beside the program, so nothing is removed; the user is
// told once, and the screen still shows the scan.
TEST(BadInput, ProgramFolderThatCannotBeWrittenRemovesNothingAndSaysSoOnce) {
  SimMachine machine;
  machine.Run(1, kBad, kInfectedBytes);
  machine.sim.registry.SetString(kHkcu, kRunKey, "bad", kBad);
  for (const char* operation : {"FileSystem.OpenForAppend", "FileSystem.CreateFolder"}) {
    machine.sim.faults.Fail(operation, win_error::kAccessDenied, sim::Faults::kEveryCall,
                            machine.sim.environment.ApplicationFolder());
  }
  machine.ClickScan();
  machine.ClickCleanup();
  EXPECT_EQ(machine.ScanLog(), "");
  EXPECT_TRUE(machine.form.LogTextText().starts_with("--------------------\r\n"));
  EXPECT_EQ(machine.form.LogTextText().find("[CLEANUP] Deleted"), std::string::npos);
  EXPECT_TRUE(machine.sim.files.Contents(kBad).has_value());
  EXPECT_TRUE(machine.sim.registry.Value(kHkcu, kRunKey, "bad").has_value());
  EXPECT_EQ(machine.sim.messages.shown(), std::vector<std::string>{std::string(texts::kNotKept)});
  EXPECT_FALSE(machine.sim.processes.IsRunning(1));
}

}  // namespace
}  // namespace foxbane::testing
