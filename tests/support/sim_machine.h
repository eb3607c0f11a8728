#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/form2.h"
#include "sim/sim_platform.h"

namespace foxbane::testing {

// Bytes that the matcher recognises (rule 4), and bytes it does not.
inline const std::string kInfectedBytes = std::string("MZ\0\0", 4) + "..mf3_lp..aelyB..";
inline const std::string kCleanBytes = std::string("MZ\0\0", 4) + "an ordinary program";

inline constexpr RegKey kHklm = reg_root::kLocalMachine;
inline constexpr RegKey kHkcu = reg_root::kCurrentUser;
inline constexpr RegKey kHkcr = reg_root::kClassesRoot;
inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Where the adware's remnants live, written out here rather than taken from
// the program, so the tests hold the program's own copies to account.
inline const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline const std::string kUninstall = kCurrentVersion + "\\Uninstall";
inline const std::string kCodeStore =
    "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\"
    "{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}";
inline const std::string kClass = "CLSID\\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}";
inline const std::string kTypeLib = "TypeLib\\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}";
inline const std::string kCompatibility[] = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\"
    "{f0aa2376-f073-4e57-86e8-0238f99087c7}",
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\"
    "{29cac0b6-d6c2-4395-8289-bf3fbf27ad5f}",
};
inline const std::string kBad = "C:\\Program Files\\Bad Co\\bad.exe";
inline const std::string kOcx = "C:\\Windows\\Downloaded Program Files\\ainst.ocx";
inline const std::string kProtection =
    "[PROTECTION] Internet Explorer will now block any further installation attempts of known "
    "MarbleFox versions.";

// The cleanup's entries in a log text, one a line (the protection entry by
// its first line).
inline std::vector<std::string> CleanupEntries(std::string_view log) {
  std::vector<std::string> entries;
  for (std::size_t start = 0, end = 0; start < log.size(); start = end + 2) {
    end = std::min(log.find("\r\n", start), log.size());
    const std::string line(log.substr(start, end - start));
    if (line.starts_with("[CLEANUP] ") || line.starts_with("[PROTECTION] ")) entries.push_back(line);
  }
  return entries;
}

// A whole machine in memory with Foxbane's window on it, loaded and showing
// its start screen.
class SimMachine {
 public:
  SimMachine() {
    sim.files.MakeFolder("C:\\Windows");
    sim.files.MakeFolder(sim.environment.ProgramDataFolder());
    sim.files.MakeFolder(sim.environment.ApplicationFolder());
    form.Form_Load();
  }

  // A running process of the executable at `path` holding `bytes`.
  void Run(std::uint32_t pid, const std::string& path, const std::string& bytes) {
    sim.files.WriteFile(path, bytes);
    sim.processes.AddProcess(pid, path);
  }

  void ClickScan() { form.Click(ControlId::Command1); }
  void ClickCleanup() { form.Click(ControlId::Command5); }
  // Through the disclaimer and its OK back to the start screen.
  void BackToStart() {
    form.Click(ControlId::Label7);
    form.Click(ControlId::Command4);
  }

  // Every file and folder ("file:<path>", "folder:<path>"), every registry
  // key by its full name and every value as its key's name, two backslashes
  // and its name, each with what it holds (a file's bytes, a value's type and
  // data): what a run removed is what is missing. Unless asked for, what
  // Foxbane writes itself (its log, its quarantine) is left out, so that a
  // restore can be compared with the machine before.
  std::map<std::string, std::string> Snapshot(bool withOwnFiles = false) {
    std::map<std::string, std::string> items;
    const std::string folder = sim.environment.ApplicationFolder();
    const std::string quarantine = sim.environment.ProgramDataFolder() + "\\Foxbane";
    for (const std::string& item : sim.files.Inventory()) {
      const std::string path = item.substr(item.find(':') + 1);
      const bool own = path == folder + "\\scanlog.txt" || path.starts_with(quarantine);
      if (own && !withOwnFiles) continue;
      items[item] = item.starts_with("file:") ? sim.files.Contents(path).value_or("") : "";
    }
    AddKeys(items, kHkcr, "HKEY_CLASSES_ROOT", "");
    AddKeys(items, kHkcu, "HKEY_CURRENT_USER", "");
    AddKeys(items, kHklm, "HKEY_LOCAL_MACHINE", "");
    return items;
  }

  std::string ScanLogPath() { return sim.environment.ApplicationFolder() + "\\scanlog.txt"; }
  std::string ScanLog() { return sim.files.Contents(ScanLogPath()).value_or(""); }

  sim::SimPlatform sim;
  Form2 form{sim.platform};

 private:
  void AddKeys(std::map<std::string, std::string>& items, RegKey root, const std::string& name,
               const std::string& path) const {
    for (const std::string& value : sim.registry.ValueNames(root, path)) {
      const auto data = sim.registry.Value(root, path, value);
      items[name + "\\\\" + value] = data ? std::to_string(data->first) + ":" + data->second : "?";
    }
    for (const std::string& subkey : sim.registry.SubkeyNames(root, path)) {
      items[name + "\\" + subkey];
      AddKeys(items, root, name + "\\" + subkey, path.empty() ? subkey : path + "\\" + subkey);
    }
  }
};

// The adware running twice from kBad, with its control and every remnant
// the cleanup removes, some in the 32-bit view.
inline void PlantAdware(SimMachine& machine) {
  auto& registry = machine.sim.registry;
  machine.Run(200, kBad, kInfectedBytes);
  machine.sim.processes.AddProcess(201, kBad);
  registry.SetString(kHkcu, kRunKey, "bad", "\"" + kBad + "\" /min");
  registry.SetString(kHklm, kUninstall + "\\bad", "UninstallString", kBad + " /uninstall");
  registry.SetValue(kHklm, kUninstall + "\\bad", "Blob", reg_type::kBinary,
                    std::string("\0\x01\xfe", 3));
  registry.SetString(kHklm, kCurrentVersion, "disp", "1");
  registry.SetDword(kHklm, kCurrentVersion, "np", 7);
  machine.sim.files.WriteFile(kOcx, "control bytes");
  registry.SetString(kHklm, kCodeStore + "\\Contains\\Files", kOcx, "");
  registry.CreateKeyPath(kHklm, kCodeStore + "\\DownloadInformation");
  registry.CreateKeyPath(kHklm, kCodeStore + "\\InstalledVersion");
  registry.SetString(kHkcr, kClass + "\\InprocServer32", "", kOcx);
  for (std::string_view sub : {"ProgID", "MiscStatus\\1", "Version"}) {
    registry.CreateKeyPath(kHkcr, kClass + "\\" + std::string(sub));
  }
  registry.CreateKeyPath(kHkcr, kTypeLib + "\\1.0\\0\\win32");
  registry.CreateKeyPath(kHkcr, "Activeinstaller.Ainst\\CLSID");
  registry.CreateKeyPath(kHkcr, "Activeinstaller.Ainst.1\\CurVer");
  registry.SetString(kHkcr, "Wow6432Node\\Activeinstaller.Ainst\\CLSID", "", "{x}");
  registry.SetDword(kHklm, kCompatibility[1], "Compatibility Flags", 0x2401);
}

}  // namespace foxbane::testing
