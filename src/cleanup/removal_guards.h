#pragma once

#include <string>
#include <string_view>

#include "ports/environment.h"
#include "ports/file_system.h"

namespace foxbane {

// Where the cleanup may delete. The paths it is given come from the registry
// and from the scan, which anyone (the adware included) can write: each is
// made canonical first and checked against the system's own folders, and a
// link (a reparse point) is never taken for what it leads to.
class RemovalGuards {
 public:
  RemovalGuards(FileSystem& files, Environment& environment)
      : files_(files), environment_(environment) {}

  // A file directly inside the system's downloaded-controls folder
  // ("Downloaded Program Files" in the Windows folder), with neither the
  // file nor the folder a link.
  bool IsDownloadedControlFile(std::string_view path);

  // A folder strictly below one of the system's program folders, with no
  // link from there down to it: never a program folder itself.
  bool IsProgramSubfolder(std::string_view folder);

 private:
  // The canonical form of a full path on a drive letter; empty for any
  // other path (UNC, device, relative) or one the system cannot resolve.
  std::string Canonical(std::string_view path);
  // True when the file or folder exists and is no reparse point.
  bool ExistsAndIsNoLink(const std::string& path);

  FileSystem& files_;
  Environment& environment_;
};

}  // namespace foxbane
