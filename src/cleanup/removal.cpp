#include "cleanup/removal.h"

#include "cleanup/checked_item.h"

namespace foxbane {

ErrorCode OpenForRemoval(FileSystem& files, std::string_view path, bool folder,
                         const FileIdentity* scanned, ItemAccess access,
                         std::unique_ptr<FileItem>& item) {
  std::unique_ptr<FileItem> opened;
  ItemFacts facts;
  if (const ErrorCode e = OpenChecked(files, path, folder, access, opened, facts)) {
    return e;
  }
  if (scanned && facts.identity != *scanned) return kUntrusted;
  item = std::move(opened);
  return win_error::kSuccess;
}

bool RemoveThrough(FileSystem& files, std::unique_ptr<FileItem>& item, std::string_view path) {
  const ErrorCode deleted = item->Delete();
  item.reset();
  std::uint32_t attributes = 0;
  const ErrorCode left = files.ReadAttributes(path, attributes);
  return deleted == win_error::kSuccess &&
         (left == win_error::kFileNotFound || left == win_error::kPathNotFound);
}

}  // namespace foxbane
