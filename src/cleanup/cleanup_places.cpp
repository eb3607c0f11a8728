#include "cleanup/cleanup_places.h"

#include <algorithm>
#include <span>

#include "cleanup/remnant_keys.h"
#include "cleanup/checked_item.h"
#include "report/startup_entries.h"

namespace foxbane {

namespace {

using Kind = JournalRecord::Kind;
constexpr std::string_view kKillBitName = "Compatibility Flags";
// The shortest key a kill bit's write may have made (one that is always there
// in practice, and which the restore deletes only when it is empty).
constexpr std::string_view kKillBitsRoot = "SOFTWARE\\Microsoft";

bool IsView(RegView view) {
  return view == reg_view::kDefault || view == reg_view::k64Bit || view == reg_view::k32Bit;
}

bool InTable(std::span<const KeyRemoval> removals, std::string_view keyPath) {
  return std::any_of(removals.begin(), removals.end(), [&](const KeyRemoval& removal) {
    return SamePath(KeyBelow(removal.keyPath, removal.subKey), keyPath);
  });
}

}  // namespace

CleanupPlaces::CleanupPlaces(RemovalGuards& guards, const std::vector<JournalRecord>& records)
    : guards_(guards) {
  bool leading = true;
  for (const JournalRecord& record : records) {
    leading = leading && record.kind == Kind::kDetected;
    if (record.kind == Kind::kDetected) {
      detected_.push_back(record.path);
      detectedInOrder_ = detectedInOrder_ && leading;
    }
  }
}

bool CleanupPlaces::IsDetectedFile(std::string_view path) const {
  return std::any_of(detected_.begin(), detected_.end(),
                     [&](const std::string& file) { return SamePath(file, path); });
}

// The folder a detected file was in, strictly below a program folder.
bool CleanupPlaces::IsDetectedFolder(std::string_view path) {
  const bool holdsDetected =
      std::any_of(detected_.begin(), detected_.end(), [&](const std::string& file) {
        const std::size_t separator = file.rfind('\\');
        return separator != std::string::npos && SamePath(file.substr(0, separator), path);
      });
  return holdsDetected && guards_.NamesProgramSubfolder(path);
}

// A key of the removal tables, or the uninstall entry of a detected file.
bool CleanupPlaces::IsRemovedKey(RegKey root, std::string_view keyPath) const {
  if (root == reg_root::kLocalMachine) {
    if (InTable(kCodeStoreRemovals, keyPath)) return true;
    return std::any_of(detected_.begin(), detected_.end(), [&](const std::string& file) {
      const std::string entry = UninstallEntryName(file.substr(file.rfind('\\') + 1));
      return !entry.empty() && SamePath(KeyBelow(kUninstallKey, entry), keyPath);
    });
  }
  if (root != reg_root::kClassesRoot) return false;
  if (InTable(kClassRemovals, keyPath) || InTable(kTypeLibRemovals, keyPath)) return true;
  return std::any_of(std::begin(kProgIds), std::end(kProgIds), [&](std::string_view progId) {
    const KeyRemoval removals[] = {{progId, "CLSID"}, {progId, "CurVer"}, {progId, ""}};
    return InTable(removals, keyPath);
  });
}

bool CleanupPlaces::IsKillBitKey(RegKey root, std::string_view keyPath) const {
  return root == reg_root::kLocalMachine &&
         std::any_of(std::begin(kCompatibilityKeys), std::end(kCompatibilityKeys),
                     [&](std::string_view key) {
                       return keyPath.size() >= kKillBitsRoot.size() &&
                              keyPath.size() <= key.size() &&
                              SamePath(key.substr(0, keyPath.size()), keyPath) &&
                              (keyPath.size() == key.size() || key[keyPath.size()] == '\\');
                     });
}

bool CleanupPlaces::IsKillBitValue(RegKey root, std::string_view keyPath,
                                   std::string_view name) const {
  return root == reg_root::kLocalMachine && SamePath(name, kKillBitName) &&
         std::any_of(std::begin(kCompatibilityKeys), std::end(kCompatibilityKeys),
                     [&](std::string_view key) { return SamePath(key, keyPath); });
}

// A startup value, a fixed value, a kill bit, or a value of a removed key.
bool CleanupPlaces::IsChangedValue(RegKey root, std::string_view keyPath,
                                   std::string_view name) const {
  // The logged-on user's own are below HKEY_USERS, under the user's SID.
  const std::size_t sid = keyPath.find('\\');
  const bool startup = ((root == reg_root::kCurrentUser || root == reg_root::kLocalMachine) &&
                        SamePath(keyPath, kRunKeyPath)) ||
                       (root == reg_root::kUsers && sid != std::string_view::npos &&
                        IsStringSid(keyPath.substr(0, sid)) &&
                        SamePath(keyPath.substr(sid + 1), kRunKeyPath));
  const bool fixed = root == reg_root::kLocalMachine && SamePath(keyPath, kCurrentVersionKey) &&
                     (SamePath(name, "disp") || SamePath(name, "np"));
  return startup || fixed || IsKillBitValue(root, keyPath, name) || IsRemovedKey(root, keyPath);
}

bool CleanupPlaces::Allows(const JournalRecord& record) {
  switch (record.kind) {
    case Kind::kDetected:
      return detectedInOrder_;
    case Kind::kRestored:
      return true;
    case Kind::kFile:
      return IsDetectedFile(record.path) || guards_.NamesDownloadedControlFile(record.path);
    case Kind::kFolder:
      return IsDetectedFolder(record.path);
    case Kind::kKey:
      return IsView(record.view) && IsRemovedKey(record.root, record.keyPath);
    case Kind::kValue:
      return IsView(record.view) && IsChangedValue(record.root, record.keyPath, record.valueName);
    case Kind::kNoValue:
      return IsView(record.view) && IsKillBitValue(record.root, record.keyPath, record.valueName);
    case Kind::kNewKey:
      return IsView(record.view) && IsKillBitKey(record.root, record.keyPath);
  }
  return false;
}

}  // namespace foxbane
