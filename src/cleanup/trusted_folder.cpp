#include "cleanup/trusted_folder.h"

#include <random>

#include "fileops/whole_file.h"

namespace foxbane {

namespace {

constexpr std::string_view kLevels[] = {"Foxbane", "Quarantine"};
constexpr std::string_view kKeyName = "journal.key";
constexpr std::size_t kKeyBytes = 32;

}  // namespace

std::string TrustedFolder::Path(Environment& environment) {
  std::string path = environment.ProgramDataFolder();
  for (std::string_view level : kLevels) path.append("\\").append(level);
  return path;
}

ErrorCode TrustedFolder::Open(bool create) {
  held_.clear();
  std::string path = environment_.ProgramDataFolder();
  for (std::string_view level : kLevels) {
    path.append("\\").append(level);
    if (create) files_.CreateAdminOnlyFolder(path);  // there already, or checked below
    std::unique_ptr<FileItem> item;
    if (const ErrorCode e = OpenAdminOnly(path, true, ItemAccess::kInspect, item)) {
      held_.clear();
      return e;
    }
    held_.push_back(std::move(item));
  }
  return win_error::kSuccess;
}

ErrorCode TrustedFolder::OpenInside(std::string_view relative, bool folder, ItemAccess access,
                                    std::unique_ptr<FileItem>& item) {
  if (held_.empty()) return kUntrusted;
  return OpenAdminOnly(Path(environment_) + "\\" + std::string(relative), folder, access, item);
}

ErrorCode TrustedFolder::ReadInside(std::string_view relative, std::string& bytes) {
  bytes.clear();
  std::unique_ptr<FileItem> item;
  if (const ErrorCode e = OpenInside(relative, false, ItemAccess::kRead, item)) return e;
  return ReadToEnd(*item, bytes);
}

// From the system's source of random numbers.
bool TrustedFolder::JournalKey(bool create, std::string& key) {
  ErrorCode read = ReadInside(kKeyName, key);
  if (create && (read == win_error::kFileNotFound)) {
    std::random_device random;
    std::string made(kKeyBytes, '\0');
    for (char& c : made) c = static_cast<char>(random());
    WriteNewFile(files_, Path(environment_) + "\\" + std::string(kKeyName), made);
    read = ReadInside(kKeyName, key);
  }
  return read == win_error::kSuccess && key.size() == kKeyBytes;
}

ErrorCode TrustedFolder::OpenAdminOnly(const std::string& path, bool folder, ItemAccess access,
                                       std::unique_ptr<FileItem>& item) {
  std::unique_ptr<FileItem> opened;
  ItemFacts facts;
  bool adminOnly = false;
  if (const ErrorCode e = OpenChecked(files_, path, folder, access, opened, facts)) return e;
  if (const ErrorCode e = opened->AdminOnly(adminOnly)) return e;
  if (!adminOnly) return kUntrusted;
  item = std::move(opened);
  return win_error::kSuccess;
}

}  // namespace foxbane
