#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ports/file_system.h"

namespace foxbane {

// The window's hidden file list box `File1`: pointed at a folder, it counts
// the folder's normal, read-only and archive files. Pointing it at a folder
// that cannot be listed fails and leaves the previous path and count.
class FileListBox {
 public:
  explicit FileListBox(FileSystem& files) : files_(files) {}

  // Throws StepFailed when the folder cannot be listed.
  void Path(std::string_view folder);
  const std::string& Path() const { return path_; }
  std::uint32_t ListCount() const { return count_; }

 private:
  FileSystem& files_;
  std::string path_;
  std::uint32_t count_ = 0;
};

}  // namespace foxbane
