#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>
#include <string>
#include <string_view>

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

// A whole machine in memory with Foxbane's window on it, loaded and showing
// its start screen.
class SimMachine {
 public:
  SimMachine() {
    sim.files.MakeFolder("C:\\Windows");
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

  // Every file and folder ("file:<path>", "folder:<path>"), every registry
  // key by its full name, and every value as its key's name, two backslashes
  // and the value's name: what a run may have removed is what is missing.
  std::set<std::string> Inventory() const {
    const std::vector<std::string> files = sim.files.Inventory();
    std::set<std::string> items(files.begin(), files.end());
    const std::pair<RegKey, std::string> roots[] = {{kHkcr, "HKEY_CLASSES_ROOT"},
                                                    {kHkcu, "HKEY_CURRENT_USER"},
                                                    {kHklm, "HKEY_LOCAL_MACHINE"}};
    for (const auto& [root, rootName] : roots) AddKeys(items, root, rootName, "");
    return items;
  }

  // The inventory with what each item holds: a file's bytes, a value's type
  // and data. What Foxbane itself writes (its log and its quarantine) is
  // left out, so that a restore can be compared with the machine before.
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> contents;
    const std::string folder = sim.environment.ApplicationFolder();
    for (const std::string& item : Inventory()) {
      if (item == "file:" + folder + "\\scanlog.txt" ||
          item.starts_with("file:" + folder + "\\Quarantine") ||
          item.starts_with("folder:" + folder + "\\Quarantine")) {
        continue;
      }
      contents[item] = ItemData(item);
    }
    return contents;
  }

  std::string ScanLogPath() { return sim.environment.ApplicationFolder() + "\\scanlog.txt"; }
  std::string ScanLog() { return sim.files.Contents(ScanLogPath()).value_or(""); }

  sim::SimPlatform sim;
  Form2 form{sim.platform};

 private:
  std::string ItemData(const std::string& item) const {
    if (item.starts_with("file:")) return sim.files.Contents(item.substr(5)).value_or("");
    if (item.starts_with("folder:")) return {};
    const std::size_t split = item.find("\\\\");
    if (split == std::string::npos) return {};
    const std::pair<std::string_view, RegKey> roots[] = {{"HKEY_CLASSES_ROOT\\", kHkcr},
                                                         {"HKEY_CURRENT_USER\\", kHkcu},
                                                         {"HKEY_LOCAL_MACHINE\\", kHklm}};
    for (const auto& [prefix, root] : roots) {
      if (!item.starts_with(prefix)) continue;
      const std::string key = item.substr(prefix.size(), split - prefix.size());
      const auto value = sim.registry.Value(root, key, item.substr(split + 2));
      return value ? std::to_string(value->first) + ":" + value->second : "?";
    }
    return {};
  }

  void AddKeys(std::set<std::string>& items, RegKey root, const std::string& name,
               const std::string& path) const {
    for (const std::string& value : sim.registry.ValueNames(root, path)) {
      items.insert(name + "\\\\" + value);
    }
    for (const std::string& subkey : sim.registry.SubkeyNames(root, path)) {
      const std::string subPath = path.empty() ? subkey : path + "\\" + subkey;
      items.insert(name + "\\" + subkey);
      AddKeys(items, root, name + "\\" + subkey, subPath);
    }
  }
};

}  // namespace foxbane::testing
