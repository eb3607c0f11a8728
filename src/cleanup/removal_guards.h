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
  // The same by the path's text alone, for a file that is not there.
  bool NamesDownloadedControlFile(std::string_view path);

  // A folder strictly below one of the system's program folders, with no
  // link from there down to it: never a program folder itself.
  bool IsProgramSubfolder(std::string_view folder);
  // The same by the path's text alone, for a folder that is not there.
  bool NamesProgramSubfolder(std::string_view folder);

 private:
  // The canonical form of a full path on a drive letter; empty for any
  // other path (UNC, device, relative) or one the system cannot resolve.
  std::string Canonical(std::string_view path);
  // True when the file or folder exists and is no reparse point.
  bool ExistsAndIsNoLink(const std::string& path);
  // The canonical forms of the downloaded-controls folder and of `path` in
  // it; none when it is not directly in there.
  bool InDownloadedControls(std::string_view path, std::string& file, std::string& folder);
  // The canonical form of `folder` and of the program folder it is below.
  bool BelowProgramFolder(std::string_view folder, std::string& canonical, std::string& root);

  FileSystem& files_;
  Environment& environment_;
};

}  // namespace foxbane
