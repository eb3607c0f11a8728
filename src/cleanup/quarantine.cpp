#include "cleanup/quarantine.h"

#include <cstdio>
#include <memory>

#include "common/vb_conversions.h"
#include "fileops/whole_file.h"
#include "registry/scoped_reg_key.h"

namespace foxbane {

namespace {

using Kind = JournalRecord::Kind;
constexpr std::uint32_t kLongestValueName = 16384;  // characters, NUL included
constexpr int kMostSessionsASecond = 99;

bool Missing(ErrorCode code) {
  return code == win_error::kFileNotFound || code == win_error::kPathNotFound;
}

std::string SessionName(const LocalDateTime& now, int attempt) {
  char name[48];
  std::snprintf(name, sizeof name, "%04d-%02d-%02d %02d.%02d.%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return attempt == 1 ? name : std::string(name) + " (" + std::to_string(attempt) + ")";
}

JournalRecord RegistryRecord(Kind kind, RegKey root, std::string_view keyPath, RegView view) {
  JournalRecord record;
  record.kind = kind;
  record.root = root;
  record.view = view;
  record.keyPath = keyPath;
  return record;
}

}  // namespace

std::string Scrambled(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = static_cast<char>(c ^ 0xA5);
  return out;
}

std::string Quarantine::Folder(Environment& environment) {
  return TrustedFolder::Path(environment);
}

// The session's folder is named after the time it began; the index lists
// it before anything is kept in it.
bool Quarantine::Begin() {
  if (unusable_) return false;
  if (!session_.empty()) return true;
  unusable_ = true;  // until everything below has worked
  const ErrorCode opened = folder_.Open(true);
  untrusted_ = opened == kUntrusted;
  std::string key;
  return opened == win_error::kSuccess && folder_.JournalKey(true, key) && BeginIn(key);
}

bool Quarantine::BeginIn(const std::string& key) {
  const std::string folder = Folder(environment_);
  const LocalDateTime now = clock_.Now();
  std::string name;
  for (int attempt = 1; attempt <= kMostSessionsASecond && name.empty(); ++attempt) {
    const std::string candidate = SessionName(now, attempt);
    const ErrorCode e = files_.CreateFolder(folder + "\\" + candidate);
    if (e == win_error::kSuccess) name = candidate;
    if (e != win_error::kSuccess && e != win_error::kAlreadyExists) return false;
  }
  std::unique_ptr<FileItem> made;
  if (name.empty() || folder_.OpenInside(name, true, ItemAccess::kInspect, made)) return false;
  seal_.emplace(key, name);
  std::string journal = seal_->Header();
  for (const std::string& path : detected_) {
    JournalRecord detected;
    detected.kind = Kind::kDetected;
    detected.path = path;
    journal += seal_->Line(detected);
  }
  if (!AppendChecked(name + "\\journal.txt", journal) ||
      !AppendChecked(std::string(kIndexName), name + "\n")) {
    return false;
  }
  session_ = name;
  unusable_ = false;
  return true;
}

bool Quarantine::AppendChecked(const std::string& relative, std::string_view lines) {
  std::unique_ptr<FileItem> item;
  return AppendLines(files_, Folder(environment_) + "\\" + relative, lines) ==
             win_error::kSuccess &&
         folder_.OpenInside(relative, false, ItemAccess::kInspect, item) == win_error::kSuccess;
}

Keeping Quarantine::Keep(const std::vector<JournalRecord>& records) {
  return Begin() && Append(records) ? Keeping::kKept : Fail();
}

// A journal that could not be appended to may end in part of a line: the
// session takes nothing more, so that such a line stays its last (which the
// restore takes for one cut short; see JournalSeal::Read).
bool Quarantine::Append(const std::vector<JournalRecord>& records) {
  JournalSeal next = *seal_;
  std::string text;
  for (const JournalRecord& record : records) text += next.Line(record);
  if (!AppendChecked(session_ + "\\journal.txt", text)) {
    unusable_ = true;
    return false;
  }
  seal_ = std::move(next);
  return true;
}

Keeping Quarantine::SaveFile(std::string_view path, FileItem& item) {
  std::string bytes;
  if (ReadToEnd(item, bytes) != win_error::kSuccess || !Begin()) return Fail();

  JournalRecord record;
  record.kind = Kind::kFile;
  record.path = path;
  char name[32];
  std::snprintf(name, sizeof name, "%04d.quarantined", nextFile_++);
  record.stored = name;
  record.size = bytes.size();
  record.digest = Digest(bytes);
  const std::string stored = session_ + "\\" + record.stored;
  std::unique_ptr<FileItem> copy;
  if (WriteNewFile(files_, Folder(environment_) + "\\" + stored, Scrambled(bytes)) ||
      folder_.OpenInside(stored, false, ItemAccess::kInspect, copy)) {
    return Fail();
  }
  return Keep({record});
}

Keeping Quarantine::SaveFolder(std::string_view path) {
  JournalRecord record;
  record.kind = Kind::kFolder;
  record.path = path;
  return Keep({record});
}

bool Quarantine::ReadValue(RegKey key, std::string_view name, std::uint32_t& type,
                           std::string& data) {
  std::uint32_t size = 0;
  ErrorCode result = registry_.QueryValue(key, name, &type, nullptr, &size);
  data.assign(size, '\0');
  if (result == win_error::kSuccess && size > 0) {
    result = registry_.QueryValue(key, name, &type, data.data(), &size);
    data.resize(size);
  }
  return result == win_error::kSuccess;
}

Keeping Quarantine::SaveValue(RegKey root, std::string_view keyPath, std::string_view name,
                              RegView view) {
  ScopedRegKey key(registry_);
  const ErrorCode opened = key.Open(root, keyPath, reg_access::kQueryValue | view);
  if (Missing(opened)) return Keeping::kNothingThere;
  JournalRecord record = RegistryRecord(Kind::kValue, root, keyPath, view);
  record.valueName = name;
  std::uint32_t size = 0;
  const ErrorCode present =
      opened ? opened : registry_.QueryValue(key.get(), name, nullptr, nullptr, &size);
  if (Missing(present)) return Keeping::kNothingThere;
  if (present != win_error::kSuccess || !ReadValue(key.get(), name, record.type, record.data)) {
    return Fail();
  }
  return Keep({record});
}

Keeping Quarantine::SaveKey(RegKey root, std::string_view keyPath, RegView view) {
  ScopedRegKey key(registry_);
  const ErrorCode opened = key.Open(root, keyPath, reg_access::kQueryValue | view);
  if (Missing(opened)) return Keeping::kNothingThere;
  if (opened != win_error::kSuccess) return Fail();
  std::vector<JournalRecord> records{RegistryRecord(Kind::kKey, root, keyPath, view)};
  for (std::uint32_t index = 0;; ++index) {
    JournalRecord value = RegistryRecord(Kind::kValue, root, keyPath, view);
    const ErrorCode listed = registry_.EnumValue(key.get(), index, value.valueName,
                                                 kLongestValueName, nullptr, nullptr, nullptr);
    if (listed == win_error::kNoMoreItems) break;
    if (listed != win_error::kSuccess ||
        !ReadValue(key.get(), value.valueName, value.type, value.data)) {
      return Fail();
    }
    records.push_back(std::move(value));
  }
  // A listing that ended early would leave values out of the copy.
  std::uint32_t count = 0;
  if (registry_.CountValues(key.get(), count) || count != records.size() - 1) return Fail();
  return Keep(records);
}

bool Quarantine::ConfirmedNoValue(RegKey key, std::string_view name) {
  const std::string wanted = ToUpperAscii(name);
  for (std::uint32_t index = 0;; ++index) {
    std::string listed;
    const ErrorCode listing =
        registry_.EnumValue(key, index, listed, kLongestValueName, nullptr, nullptr, nullptr);
    if (listing == win_error::kNoMoreItems) return true;
    if (listing != win_error::kSuccess || ToUpperAscii(listed) == wanted) return false;
  }
}

bool Quarantine::ConfirmedMissing(RegKey root, std::string_view keyPath, RegView view) {
  const std::size_t separator = keyPath.rfind('\\');
  const std::string_view name =
      separator == std::string_view::npos ? keyPath : keyPath.substr(separator + 1);
  ScopedRegKey parent(registry_);
  RegKey listed = root;
  if (separator != std::string_view::npos) {
    if (parent.Open(root, keyPath.substr(0, separator), reg_access::kEnumerateSubKeys | view)) {
      return false;
    }
    listed = parent.get();
  }
  const std::string wanted = ToUpperAscii(name);
  for (std::uint32_t index = 0;; ++index) {
    std::string subKey;
    const ErrorCode listing = registry_.EnumKey(listed, index, subKey);
    if (listing == win_error::kNoMoreItems) return true;
    if (listing != win_error::kSuccess || ToUpperAscii(subKey) == wanted) return false;
  }
}

Keeping Quarantine::SaveBeforeWrite(RegKey root, std::string_view keyPath, std::string_view name,
                                    RegView view) {
  const bool failedBefore = failed_;
  const Keeping keeping = KeepBeforeWrite(root, keyPath, name, view);
  failed_ = failedBefore;
  return keeping;
}

// Each key on the path that is not there yet is made by the write: the
// restore takes them away again, deepest first.
Keeping Quarantine::KeepBeforeWrite(RegKey root, std::string_view keyPath, std::string_view name,
                                    RegView view) {
  std::vector<JournalRecord> records;
  for (std::size_t end = keyPath.find('\\'); records.empty(); end = keyPath.find('\\', end + 1)) {
    const std::string_view prefix = keyPath.substr(0, end);
    ScopedRegKey key(registry_);
    const ErrorCode opened = key.Open(root, prefix, reg_access::kQueryValue | view);
    if (Missing(opened)) {
      if (!ConfirmedMissing(root, prefix, view)) return Fail();
      for (std::size_t cut = end;; cut = keyPath.find('\\', cut + 1)) {
        records.push_back(RegistryRecord(Kind::kNewKey, root, keyPath.substr(0, cut), view));
        if (cut == std::string_view::npos) break;
      }
    } else if (opened != win_error::kSuccess) {
      return Fail();
    } else if (end == std::string_view::npos) {
      std::uint32_t size = 0;
      const ErrorCode present = registry_.QueryValue(key.get(), name, nullptr, nullptr, &size);
      if (present == win_error::kSuccess) return SaveValue(root, keyPath, name, view);
      if (!Missing(present) || !ConfirmedNoValue(key.get(), name)) return Fail();
      JournalRecord absent = RegistryRecord(Kind::kNoValue, root, keyPath, view);
      absent.valueName = name;
      records.push_back(std::move(absent));
    }
  }
  return Keep(records);
}

}  // namespace foxbane
