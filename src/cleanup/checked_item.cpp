#include "cleanup/checked_item.h"

#include <string>

#include "common/vb_conversions.h"

namespace foxbane {

bool SamePath(std::string_view a, std::string_view b) { return ToUpperAscii(a) == ToUpperAscii(b); }

ErrorCode OpenChecked(FileSystem& files, std::string_view path, bool folder, ItemAccess access,
                      std::unique_ptr<FileItem>& item, ItemFacts& facts) {
  std::string canonical;
  std::uint32_t attributes = 0;
  if (const ErrorCode e = files.FullPathName(path, canonical)) return e;
  if (canonical.size() > 3 && canonical.back() == '\\') canonical.pop_back();
  if (const ErrorCode e = files.ReadAttributes(canonical, attributes)) return e;
  if (attributes & file_attribute::kReparsePoint) return kUntrusted;
  std::unique_ptr<FileItem> opened;
  std::string finalPath;
  if (const ErrorCode e = files.OpenItem(canonical, access, opened)) return e;
  if (const ErrorCode e = opened->Describe(facts)) return e;
  if (const ErrorCode e = opened->FinalPath(finalPath)) return e;
  const bool isFolder = (facts.attributes & file_attribute::kDirectory) != 0;
  if ((facts.attributes & file_attribute::kReparsePoint) || isFolder != folder ||
      (!folder && facts.names != 1) || !SamePath(finalPath, canonical)) {
    return kUntrusted;
  }
  item = std::move(opened);
  return win_error::kSuccess;
}

}  // namespace foxbane
