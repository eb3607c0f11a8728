#include <gtest/gtest.h>

#include <algorithm>

#include "app/texts.h"
#include "cleanup/restore.h"
#include "fileops/drive_path.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using namespace std::string_literals;
using C = ControlId;

const std::string kHkcrProgId1 = "HKEY_CLASSES_ROOT\\Activeinstaller.Ainst.1";
const std::string kMfEntry = "[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\\" + kCurrentVersion;
const std::string kRecommendation =
    "For the most up-to-date protection against many other spyware programs, browser hijackers "
    "and dialers, download Hedgewall (https://www.hedgewall.example/).";

std::vector<std::string> ScanAndClean(SimMachine& machine) {
  machine.ClickScan();
  machine.ClickCleanup();
  return CleanupEntries(machine.form.LogTextText());
}

std::vector<std::string> Without(std::vector<std::string> entries,
                                 const std::vector<std::string>& left) {
  for (const std::string& entry : left) std::erase(entries, entry);
  return entries;
}

// A removal the system refuses leaves its remnant and its entry out; every
// other remnant goes and is logged as before, and the user is told once.
TEST(LeftBehind, ARefusedRemovalIsNotLoggedAndTheUserIsTold) {
  SimMachine clean;
  PlantAdware(clean);
  const std::vector<std::string> all = ScanAndClean(clean);
  ASSERT_EQ(all.size(), 12u);

  const struct {
    const char* operation;
    std::string subject;
    std::vector<std::string> unlogged;
    RegKey root;
    std::string stays;  // the key, or key and value after "|"
  } refusals[] = {
      {"Registry.DeleteValue", "HKEY_LOCAL_MACHINE\\" + kCurrentVersion,
       {kMfEntry + "\\disp", kMfEntry + "\\np"}, kHklm, kCurrentVersion + "|disp"},
      {"Registry.DeleteKey", kHkcrProgId1, {"[CLEANUP] Removed MF Registry Key: " + kHkcrProgId1},
       kHkcr, "Activeinstaller.Ainst.1"},
      {"Registry.DeleteKey", "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\bad",
       {"[CLEANUP] Deleted Uninstall Key: HKEY_LOCAL_MACHINE\\" + kUninstall + "\\bad"}, kHklm,
       kUninstall + "\\bad"},
      {"Registry.DeleteValue", "HKEY_CURRENT_USER\\" + std::string(kRunKey), {}, kHkcu,
       std::string(kRunKey) + "|bad"},
  };
  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.subject);
    SimMachine machine;
    PlantAdware(machine);
    machine.sim.faults.Fail(refusal.operation, win_error::kAccessDenied, sim::Faults::kEveryCall,
                            refusal.subject);
    EXPECT_EQ(ScanAndClean(machine), Without(all, refusal.unlogged));
    EXPECT_EQ(machine.sim.messages.shown(), std::vector{std::string(texts::kNotRemoved)});
    const std::size_t bar = refusal.stays.find('|');
    if (bar == std::string::npos) {
      EXPECT_TRUE(machine.sim.registry.KeyExists(refusal.root, refusal.stays));
    } else {
      EXPECT_TRUE(machine.sim.registry.Value(refusal.root, refusal.stays.substr(0, bar),
                                             refusal.stays.substr(bar + 1)));
    }
  }
}

// A Code Store subkey that cannot be kept keeps the Code Store entry and its
// entry, but the class and the type library are still removed and logged.
TEST(LeftBehind, ARemnantThatCannotBeKeptStopsNoOther) {
  SimMachine machine;
  PlantAdware(machine);
  machine.sim.faults.Fail("Registry.CountValues", win_error::kAccessDenied, sim::Faults::kEveryCall,
                          "HKEY_LOCAL_MACHINE\\" + kCodeStore + "\\DownloadInformation");
  const std::vector<std::string> entries = ScanAndClean(machine);
  const auto logged = [&](const std::string& tail) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const std::string& e) { return e.ends_with(tail); });
  };
  EXPECT_FALSE(logged(kCodeStore));
  EXPECT_TRUE(machine.sim.registry.KeyExists(kHklm, kCodeStore + "\\DownloadInformation"));
  EXPECT_TRUE(logged("HKEY_CLASSES_ROOT\\" + kClass) && logged("HKEY_CLASSES_ROOT\\" + kTypeLib));
  EXPECT_FALSE(machine.sim.registry.KeyExists(kHkcr, kClass));
  EXPECT_FALSE(machine.sim.registry.KeyExists(kHkcr, kTypeLib));
  EXPECT_EQ(machine.sim.messages.shown(), std::vector{std::string(texts::kNotKept)});
}

// The kill bits are written in both views even when the quarantine can keep
// nothing, and the protection is claimed; where a write fails in one view
// the protection line is left out, the recommendation still ends the pass.
TEST(LeftBehind, KillBitsAreWrittenUnkeptAndTheProtectionClaimedOnlyWhenSet) {
  for (const bool writeFails : {false, true}) {
    SCOPED_TRACE(writeFails);
    SimMachine machine;
    PlantAdware(machine);
    machine.sim.faults.Fail("FileSystem.CreateAdminOnlyFolder", win_error::kAccessDenied,
                            sim::Faults::kEveryCall, machine.sim.environment.ProgramDataFolder());
    if (writeFails) {
      machine.sim.faults.Fail("Registry.SetValue", win_error::kAccessDenied, sim::Faults::kEveryCall,
                              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer");
    }
    const std::vector<std::string> entries = ScanAndClean(machine);
    for (const std::string& key : kCompatibility) {
      EXPECT_EQ(machine.sim.registry.Value(kHklm, key, "Compatibility Flags"),
                std::pair(reg_type::kDword, "\x00\x04\x00\x00"s));
    }
    EXPECT_EQ(entries, writeFails ? std::vector<std::string>{} : std::vector{kProtection});
    EXPECT_TRUE(machine.form.LogTextText().ends_with("\r\n" + kRecommendation + "\r\n"));
    EXPECT_TRUE(Restore(machine.sim.files, machine.sim.registry, machine.sim.environment)
                    .PendingSessions()
                    .empty());
  }
}

// Run as an administrator whose password the user typed at the prompt,
// Foxbane cleans the Run values of the user the session's shell belongs to
// as well as its own; the same user, or a name that is no SID, adds nothing.
TEST(LeftBehind, TheLoggedOnUsersRunValuesAreCleanedToo) {
  const std::string admin = "S-1-5-21-1004336348-1177238915-682003330-500";
  const std::string user = sim::SimEnvironment::kLoggedOnUser;
  const struct {
    std::string program;
    std::string shell;
    std::string planted;  // the HKEY_USERS key that holds a Run value
    bool removed;
  } cases[] = {
      {admin, user, user, true},
      {user, user, user, false},
      {admin, "", user, false},
      {admin, user + "\\Software\\..", user + "\\Software\\..", false},
      {admin, "S-1-5-21-9\\x", "S-1-5-21-9\\x", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shell);
    SimMachine machine;
    PlantAdware(machine);
    machine.sim.environment.SetUsers(c.program, c.shell);
    const std::string runKey = c.planted + "\\" + std::string(kRunKey);
    machine.sim.registry.SetString(reg_root::kUsers, runKey, "bad", kBad + " /min");
    machine.sim.registry.SetString(reg_root::kUsers, runKey, "other", "C:\\Tools\\tool.exe");
    machine.ClickScan();
    EXPECT_EQ(!machine.sim.registry.Value(reg_root::kUsers, runKey, "bad"), c.removed);
    EXPECT_TRUE(machine.sim.registry.Value(reg_root::kUsers, runKey, "other"));
    EXPECT_FALSE(machine.sim.registry.Value(kHkcu, kRunKey, "bad"));
    EXPECT_TRUE(machine.sim.messages.shown().empty());
    if (!c.removed) continue;
    // Kept like any other: the restore puts it back.
    Restore restore(machine.sim.files, machine.sim.registry, machine.sim.environment);
    EXPECT_EQ(restore.PutBack(restore.PendingSessions().at(0)), 0);
    EXPECT_TRUE(machine.sim.registry.Value(reg_root::kUsers, runKey, "bad"));
  }
}

// Closed, or "Exit" pressed, while the results step waits in its yield: the
// step goes on to the machine's Run values, and the program ends after it.
TEST(LeftBehind, ClosingDuringTheResultsStepLetsItFinish) {
  for (const bool byExit : {false, true}) {
    SCOPED_TRACE(byExit);
    SimMachine machine;
    machine.Run(200, kBad, kInfectedBytes);
    machine.sim.registry.SetString(kHklm, kRunKey, "bad", kBad);
    bool endedInYield = true;
    machine.sim.loop.Post([] {});  // the scan's one yield
    machine.sim.loop.Post([&] {
      machine.sim.loop.Post([&] {
        if (byExit) {
          machine.form.Click(C::Command2);
        } else {
          machine.form.Close();
        }
        endedInYield = machine.sim.loop.ended();
      });
    });
    machine.ClickScan();
    EXPECT_FALSE(endedInYield);
    EXPECT_TRUE(machine.sim.loop.ended());
    EXPECT_FALSE(machine.sim.registry.Value(kHklm, kRunKey, "bad"));
  }
  SimMachine idle;
  idle.form.Close();
  EXPECT_TRUE(idle.sim.loop.ended());
}

// A program started through "\\?\C:\..." is found and cleaned as its plain
// path; one whose plain form would name another file is not touched.
TEST(LeftBehind, LocalPrefixedPathsAreScannedAndCleanedAsTheirPlainForm) {
  SimMachine machine;
  machine.sim.files.WriteFile(kBad, kInfectedBytes);
  machine.sim.processes.AddProcess(200, "\\\\?\\" + kBad);
  machine.sim.registry.SetString(kHkcu, kRunKey, "bad", "\"" + kBad + "\" /min");
  const std::vector<std::string> entries = ScanAndClean(machine);
  EXPECT_EQ(machine.form.ResultsList().Item(1).text, kBad);
  EXPECT_FALSE(machine.sim.registry.Value(kHkcu, kRunKey, "bad"));
  EXPECT_EQ(entries.front(), "[CLEANUP] Deleted File: " + kBad);
  EXPECT_FALSE(machine.sim.files.Contents(kBad));

  const std::pair<std::string, std::string> paths[] = {
      {"\\\\?\\c:\\A b\\x.y.exe", "c:\\A b\\x.y.exe"}, {"\\\\?\\C:\\COM10.exe", "C:\\COM10.exe"},
      {"\\\\?\\C:\\a\\b.exe.", ""},  {"\\\\?\\C:\\a\\b.exe ", ""}, {"\\\\?\\C:\\a\\..\\b.exe", ""},
      {"\\\\?\\C:\\a\\\\b.exe", ""}, {"\\\\?\\C:\\a/b.exe", ""},   {"\\\\?\\C:\\a\\nul.txt", ""},
      {"\\\\?\\C:\\LPT1", ""},       {"\\\\?\\C:\\a\\", ""},       {"\\\\?\\UNC\\s\\x\\b.exe", ""},
      {"\\\\?\\C:b.exe", ""},        {"\\\\.\\C:\\b.exe", ""},     {"C:\\b.exe", "C:\\b.exe"},
  };
  for (const auto& [path, plain] : paths) {
    EXPECT_EQ(PlainLocalPath(path), plain.empty() ? path : plain) << path;
  }
}

}  // namespace
}  // namespace foxbane::testing
