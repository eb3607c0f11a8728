#include "app/form2.h"
#include "app/texts.h"
#include "cleanup/removal.h"
#include "cleanup/remnant_keys.h"

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
  unkeptReported_ = false;
  removedAtRestart_ = false;
}

Quarantine& Form2::Kept() {
  if (!quarantine_) BeginQuarantineSession();
  return *quarantine_;
}

// Each runs `change` only once what it changes is kept, and tells whether
// nothing was lost to a failed keeping (a thing not there is no loss).
template <typename Change>
bool Form2::AfterKeeping(Keeping keeping, Change change) {
  if (keeping == Keeping::kKept) change();
  return keeping != Keeping::kNotKept;
}

bool Form2::DeleteRegValueKept(std::string_view hiveName, std::string_view keyPath,
                               std::string_view valueName, RegView view) {
  return AfterKeeping(Kept().SaveValue(registry_.HiveFromName(hiveName), keyPath, valueName, view),
                      [&] { registry_.DeleteRegValue(hiveName, keyPath, valueName, view); });
}

bool Form2::DeleteRegKeyKept(std::string_view hiveName, std::string_view keyPath,
                             std::string_view subKeyName, RegView view) {
  const RegKey root = registry_.HiveFromName(hiveName);
  return AfterKeeping(Kept().SaveKey(root, KeyBelow(keyPath, subKeyName), view),
                      [&] { registry_.DeleteRegKey(hiveName, keyPath, subKeyName, view); });
}

bool Form2::WriteRegValueKept(std::string_view hiveName, std::string_view keyPath,
                              std::string_view valueName, std::string_view typeCode,
                              const Variant& value, RegView view) {
  const RegKey root = registry_.HiveFromName(hiveName);
  return AfterKeeping(Kept().SaveBeforeWrite(root, keyPath, valueName, view), [&] {
    registry_.WriteRegValue(hiveName, keyPath, valueName, typeCode, value, view);
  });
}

// Another program holding it open (without sharing its deletion) keeps it
// from going now; it is read, kept and scheduled instead.
Form2::Removal Form2::RemoveItemKept(const std::string& path, bool folder,
                                     const FileIdentity* scanned) {
  FileSystem& files = platform_.files;
  std::unique_ptr<FileItem> item;
  ErrorCode opened = OpenForRemoval(files, path, folder, scanned, ItemAccess::kRemove, item);
  const bool inUse = opened == win_error::kSharingViolation;
  if (inUse) opened = OpenForRemoval(files, path, folder, scanned, ItemAccess::kRead, item);
  if (opened != win_error::kSuccess) return Removal::kLeft;
  const Keeping keeping = folder ? Kept().SaveFolder(path) : Kept().SaveFile(path, *item);
  if (keeping != Keeping::kKept) return Removal::kLeft;
  if (!inUse) return RemoveThrough(files, item, path) ? Removal::kGone : Removal::kLeft;
  item.reset();
  if (files.RemoveAtRestart(path) != win_error::kSuccess) return Removal::kLeft;
  removedAtRestart_ = true;
  return Removal::kAtRestart;
}

// Once per session, after the pass: what could not be kept was left alone,
// and what was in use goes at the next restart.
void Form2::ReportUnkeptRemovals() {
  const bool unkept = quarantine_ && quarantine_->Failed();
  if (unkeptReported_ || (!unkept && !removedAtRestart_)) return;
  unkeptReported_ = true;
  std::string text;
  if (unkept && quarantine_->Untrusted()) {
    text = std::string(texts::kQuarantineNotSafe) + Quarantine::Folder(platform_.environment) + ".";
  } else if (unkept) {
    text = texts::kNotKept;
  }
  if (removedAtRestart_) text += (text.empty() ? "" : "\n\n") + std::string(texts::kAtRestart);
  platform_.messages.ShowModal(text);
}

}  // namespace foxbane
