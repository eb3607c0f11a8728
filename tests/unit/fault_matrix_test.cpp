#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "cleanup/left_behind.h"
#include "cleanup/restore.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;
using Items = std::map<std::string, std::string>;

constexpr std::string_view kTermination =
    "There was an error while trying to terminate the process - please try running Foxbane again.";
constexpr std::string_view kDpfItem = "[CLEANUP] Removed DPF Item: ";
const std::string kOldLog = "an earlier scan's record\r\n";
const std::string kEvil = "C:\\Users\\me\\AppData\\evil.exe";

// The adware next to things the cleanup must leave alone.
void PlantInfection(SimMachine& machine) {
  auto& files = machine.sim.files;
  auto& registry = machine.sim.registry;
  files.WriteFile(machine.ScanLogPath(), kOldLog);
  machine.Run(100, "C:\\Windows\\explorer.exe", kCleanBytes);
  PlantAdware(machine);
  machine.Run(300, kEvil, kInfectedBytes);
  files.WriteFile("C:\\Users\\me\\AppData\\notes.txt", "the user's own notes");
  registry.SetString(kHkcu, kRunKey, "other", "C:\\Windows\\other.exe");
  registry.SetString(kHklm, kRunKey, "evil", kEvil);
  registry.SetString(kHklm, kRunKey, "empty", "");
  registry.SetString(kHklm, kUninstall + "\\Other App", "UninstallString", "C:\\Other\\u.exe");
  registry.SetString(kHklm, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
  registry.SetString(kHklm, kCodeStore + "\\Contains\\Files", "C:\\Windows\\gone.inf", "");
  registry.CreateKeyPath(kHkcr, "CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32");
}

// What the cleanup may remove: the detected files and folder, and these keys
// and values with everything below them.
bool MayBeRemoved(const std::string& item) {
  static const std::vector<std::string> named = {
      "HKEY_CURRENT_USER\\" + std::string(kRunKey) + "\\\\bad",
      "HKEY_LOCAL_MACHINE\\" + std::string(kRunKey) + "\\\\evil",
      "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\bad",
      "HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "\\\\disp",
      "HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "\\\\np",
      "HKEY_LOCAL_MACHINE\\" + kCodeStore,
      "HKEY_CLASSES_ROOT\\" + kClass,
      "HKEY_CLASSES_ROOT\\" + kTypeLib,
      "HKEY_CLASSES_ROOT\\Activeinstaller.Ainst",
      "HKEY_CLASSES_ROOT\\Activeinstaller.Ainst.1",
      "HKEY_CLASSES_ROOT\\Wow6432Node\\Activeinstaller.Ainst",
      "file:" + kBad,
      "file:" + kEvil,
      "file:" + kOcx,
      "folder:C:\\Program Files\\Bad Co",
  };
  return std::any_of(named.begin(), named.end(), [&](const std::string& prefix) {
    return item == prefix || item.starts_with(prefix + "\\");
  });
}

// The errors each operation can really give on Windows.
std::vector<ErrorCode> RealErrors(std::string_view operation) {
  using namespace win_error;
  static const std::map<std::string, std::vector<ErrorCode>, std::less<>> errors = {
      {"FileSystem.FindFile", {kFileNotFound, kPathNotFound, kAccessDenied}},
      {"FileSystem.ResetAttributes", {kFileNotFound, kAccessDenied, kSharingViolation}},
      {"FileSystem.OpenForRead",
       {kFileNotFound, kPathNotFound, kAccessDenied, kSharingViolation, kNotEnoughMemory}},
      {"FileSystem.Read", {kInvalidHandle, kAccessDenied, kNotEnoughMemory}},
      {"FileSystem.OpenForAppend", {kPathNotFound, kAccessDenied, kSharingViolation, kNotEnoughMemory}},
      {"FileSystem.AppendText", {kInvalidHandle, kAccessDenied, kNotEnoughMemory}},
      {"FileSystem.RemoveFile", {kFileNotFound, kPathNotFound, kAccessDenied, kSharingViolation}},
      {"FileSystem.RemoveFolder",
       {kFileNotFound, kPathNotFound, kAccessDenied, kSharingViolation, kDirNotEmpty}},
      {"FileSystem.CountListedFiles", {kFileNotFound, kPathNotFound, kAccessDenied}},
      {"Registry.QueryValue", {kFileNotFound, kAccessDenied, kInvalidHandle, kNotEnoughMemory, kMoreData}},
      {"Registry.EnumValue", {kAccessDenied, kInvalidHandle, kMoreData, kNoMoreItems}},
      {"Registry.EnumKey", {kAccessDenied, kInvalidHandle, kMoreData, kNoMoreItems}},
      {"Registry.DeleteKey", {kFileNotFound, kAccessDenied, kInvalidHandle}},
      {"Registry.DeleteValue", {kFileNotFound, kAccessDenied, kInvalidHandle}},
      {"Registry.OpenKey", {kFileNotFound, kAccessDenied, kInvalidHandle, kNotEnoughMemory}},
      {"Registry.CreateKey", {kAccessDenied, kInvalidHandle, kNotEnoughMemory}},
      {"Processes.Open", {kAccessDenied, kInvalidParameter}},
      {"Processes.Terminate", {kAccessDenied, kInvalidHandle}},
  };
  const auto found = errors.find(operation);
  return found != errors.end() ? found->second : std::vector{kAccessDenied, kInvalidHandle, kNotEnoughMemory};
}

// Runs the whole flow and checks what must hold whatever failed, and
// returns the cleanup's entries. `baseline` is the entries of the
// fault-free run; none for that run itself.
std::vector<std::string> RunAndCheck(SimMachine& machine, const Items& before,
                                     const std::vector<std::string>* baseline,
                                     std::string_view failing = {}) {
  machine.ClickScan();
  const bool detected = machine.form.ResultsList().Count() > 0;
  EXPECT_TRUE(detected || baseline != nullptr);
  if (detected) {
    EXPECT_TRUE(machine.form.Visible(C::results));
    machine.ClickCleanup();
    EXPECT_TRUE(machine.form.Visible(C::activityframe) && !machine.form.Visible(C::results));
  } else {
    EXPECT_TRUE(machine.form.Visible(C::clean));
  }
  const bool terminationMayFail = failing.starts_with("Processes.");
  const bool keepingMayFail = failing.starts_with("FileSystem.") || failing.starts_with("Registry.");
  // What was left behind, for any of its reasons together.
  const auto tellsWhatWasLeft = [&](const std::string& message) {
    const std::string quarantine = Quarantine::Folder(machine.sim.environment);
    for (left_behind::Reasons reasons = 1; reasons < 16; ++reasons) {
      if (message == left_behind::Message(reasons, quarantine)) return true;
    }
    return false;
  };
  for (const std::string& message : machine.sim.messages.shown()) {
    EXPECT_TRUE((terminationMayFail && message.starts_with(kTermination)) ||
                (keepingMayFail && tellsWhatWasLeft(message)))
        << message;
  }
  EXPECT_TRUE(machine.ScanLog().starts_with(kOldLog)) << "earlier log content lost";

  const std::vector<std::string> entries = CleanupEntries(machine.form.LogTextText());
  // The protection entry ends the pass, and is its only one; only a failing
  // registry call (a kill bit not written, or not read back) leaves it out.
  const auto protection = std::find_if(entries.begin(), entries.end(),
                                       [](const std::string& e) { return e.starts_with("[PROTECTION] "); });
  const bool protectionMayFail = failing.starts_with("Registry.");
  EXPECT_TRUE(!detected || protection - entries.begin() + 1 == std::ssize(entries) ||
              (protectionMayFail && protection == entries.end()));
  // Every entry is one the fault-free run writes (a row's entries may
  // repeat when a failed delete left its file for the next row of the same
  // path), and the rows' entries come before the registry stages'.
  bool registryStagesBegun = false;
  for (const std::string& entry : entries) {
    if (baseline != nullptr) {
      EXPECT_NE(std::find(baseline->begin(), baseline->end(), entry), baseline->end())
          << "unexpected entry: " << entry;
    }
    const bool rowEntry = entry.starts_with("[CLEANUP] Deleted ");
    EXPECT_FALSE(rowEntry && registryStagesBegun) << "row entry after the registry stages";
    registryStagesBegun = registryStagesBegun || !rowEntry;
    if (entry.starts_with(kDpfItem)) {
      EXPECT_FALSE(machine.sim.files.Contents(entry.substr(kDpfItem.size())))
          << "reported a control that was not deleted";
    }
  }
  const Items after = machine.Snapshot(true);
  for (const auto& [item, data] : before) {
    EXPECT_TRUE(after.contains(item) || MayBeRemoved(item)) << "removed " << item;
  }
  // A key whose close itself failed is the one handle that may stay open.
  EXPECT_TRUE(failing == "Registry.CloseKey" || machine.sim.registry.OpenHandleCount() == 0u);
  return entries;
}

// The machine as a restore must give it back, but for the compatibility
// entries (and the keys above them): their kill bits are written even when the flags they replace
// could not be kept, and then stay (the restore of kept flags is proved
// where nothing fails).
Items Restorable(SimMachine& machine) {
  Items items = machine.Snapshot();
  std::erase_if(items, [](const auto& item) {
    return std::any_of(std::begin(kCompatibility), std::end(kCompatibility), [&](const std::string& key) {
      for (const std::string& full : {"HKEY_LOCAL_MACHINE\\" + key,
                                      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node" + key.substr(8)}) {
        if (full.starts_with(item.first) || item.first.starts_with(full)) return true;
      }
      return false;
    });
  });
  return items;
}

TEST(FaultMatrix, EveryOperationFailingWithEveryRealErrorKeepsTheUserSafe) {
  SimMachine baseline;
  PlantInfection(baseline);
  const Items inventory = baseline.Snapshot(true);
  baseline.sim.faults.Clear();
  const std::vector<std::string> baselineEntries = RunAndCheck(baseline, inventory, nullptr);
  ASSERT_GE(baselineEntries.size(), 10u);

  for (const std::string& operation : baseline.sim.faults.OperationsCalled()) {
    for (ErrorCode error : RealErrors(operation)) {
      for (int call : {1, sim::Faults::kEveryCall}) {
        SCOPED_TRACE(operation + " fails with " + std::to_string(error) +
                     (call == 1 ? " at its first call" : " at every call"));
        SimMachine machine;
        PlantInfection(machine);
        const Items before = machine.Snapshot(true);
        const Items restorable = Restorable(machine);
        machine.sim.faults.Fail(operation, error, call);
        RunAndCheck(machine, before, &baselineEntries, operation);
        // Nothing lost: whatever went can be put back as it was.
        machine.sim.faults.Clear();
        Restore restore(machine.sim.files, machine.sim.registry, machine.sim.environment);
        for (const std::string& session : restore.PendingSessions()) {
          EXPECT_EQ(restore.PutBack(session), 0);
        }
        EXPECT_EQ(Restorable(machine), restorable);
        if (::testing::Test::HasFailure()) return;
      }
    }
  }
}

}  // namespace
}  // namespace foxbane::testing
