#include "app/form2.h"
#include "cleanup/removal.h"
#include "cleanup/remnant_keys.h"
#include "registry/registry_checks.h"

namespace foxbane {

// One session per scan that found something: the results step and the
// cleanup after it are undone together.
void Form2::BeginQuarantineSession() {
  std::vector<std::string> detected;
  for (std::int32_t row = 1; row <= resultsList_.Count(); ++row) {
    detected.push_back(resultsList_.Item(row).text);
  }
  quarantine_ =
      std::make_unique<Quarantine>(platform_.files, platform_.registry, platform_.environment,
                                   platform_.clock, std::move(detected));
  leftBehind_ = left_behind::kNone;
  told_ = left_behind::kNone;
}

Quarantine& Form2::Kept() {
  if (!quarantine_) BeginQuarantineSession();
  return *quarantine_;
}

// Each runs `change` only once what it changes is kept, then asks the
// registry whether it is gone.
template <typename Change, typename Gone>
Form2::Outcome Form2::RemoveKept(Keeping keeping, Change change, Gone gone) {
  if (keeping == Keeping::kNotKept) return Outcome::kNotKept;
  if (keeping == Keeping::kKept) change();
  return gone() ? Outcome::kGone : Outcome::kLeft;
}

// What stays although it was kept is counted for the user; what could not
// be kept, the quarantine counts.
bool Form2::Settled(Outcome outcome) {
  if (outcome == Outcome::kLeft) leftBehind_ |= left_behind::kNotRemoved;
  return outcome == Outcome::kGone;
}

Form2::Outcome Form2::DeleteRegValueKept(std::string_view hiveName, std::string_view keyPath,
                               std::string_view valueName, RegView view) {
  const RegKey root = registry_.HiveFromName(hiveName);
  return RemoveKept(
      Kept().SaveValue(root, keyPath, valueName, view),
      [&] { registry_.DeleteRegValue(hiveName, keyPath, valueName, view); },
      [&] { return ValueGone(platform_.registry, root, keyPath, valueName, view); });
}

Form2::Outcome Form2::DeleteRegKeyKept(std::string_view hiveName, std::string_view keyPath,
                             std::string_view subKeyName, RegView view) {
  const RegKey root = registry_.HiveFromName(hiveName);
  const std::string key = KeyBelow(keyPath, subKeyName);
  return RemoveKept(
      Kept().SaveKey(root, key, view),
      [&] { registry_.DeleteRegKey(hiveName, keyPath, subKeyName, view); },
      [&] { return KeyGone(platform_.registry, root, key, view); });
}

// A protective write (a kill bit) is made even when what it replaces cannot
// be kept; the restore then leaves it as it is.
void Form2::WriteRegValueProtective(std::string_view hiveName, std::string_view keyPath,
                                    std::string_view valueName, std::string_view typeCode,
                                    const Variant& value, RegView view) {
  Kept().SaveBeforeWrite(registry_.HiveFromName(hiveName), keyPath, valueName, view);
  registry_.WriteRegValue(hiveName, keyPath, valueName, typeCode, value, view);
}

// Another program holding it open (without sharing its deletion) keeps it
// from going now; it is read, kept and scheduled instead.
Form2::ItemRemoval Form2::RemoveItemKept(const std::string& path, bool folder,
                                     const FileIdentity* scanned) {
  FileSystem& files = platform_.files;
  std::unique_ptr<FileItem> item;
  ErrorCode opened = OpenForRemoval(files, path, folder, scanned, ItemAccess::kRemove, item);
  const bool inUse = opened == win_error::kSharingViolation;
  if (inUse) opened = OpenForRemoval(files, path, folder, scanned, ItemAccess::kRead, item);
  if (opened != win_error::kSuccess) return ItemRemoval::kLeft;
  const Keeping keeping = folder ? Kept().SaveFolder(path) : Kept().SaveFile(path, *item);
  if (keeping != Keeping::kKept) return ItemRemoval::kLeft;
  if (inUse) {
    item.reset();
    if (files.RemoveAtRestart(path) == win_error::kSuccess) {
      leftBehind_ |= left_behind::kAtRestart;
      return ItemRemoval::kAtRestart;
    }
  } else if (RemoveThrough(files, item, path)) {
    return ItemRemoval::kGone;
  }
  // A folder that stays holds something the listing does not show (a hidden
  // file): no restart would remove it, so it is not told of.
  if (!folder) leftBehind_ |= left_behind::kNotRemoved;
  return ItemRemoval::kLeft;
}

// After each pass: every reason for something left in place that the user
// has not been told of in this session yet, in one message.
void Form2::ReportLeftBehind() {
  left_behind::Reasons reasons = leftBehind_;
  if (quarantine_ && quarantine_->Failed()) {
    reasons |= quarantine_->Untrusted() ? left_behind::kQuarantineUnsafe : left_behind::kNotKept;
  }
  const left_behind::Reasons untold = reasons & ~told_;
  if (untold == left_behind::kNone) return;
  told_ |= untold;
  platform_.messages.ShowModal(
      left_behind::Message(untold, Quarantine::Folder(platform_.environment)));
}

}  // namespace foxbane
