#pragma once

#include "ports/file_system.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

// A file or folder opened with FILE_FLAG_OPEN_REPARSE_POINT.
class Win32FileItem : public FileItem {
 public:
  explicit Win32FileItem(UniqueFileHandle item) : item_(std::move(item)) {}

  ErrorCode Describe(ItemFacts& facts) override;
  ErrorCode FinalPath(std::string& path) override;
  ErrorCode AdminOnly(bool& adminOnly) override;
  ErrorCode Read(std::span<char> into, std::size_t& bytesRead) override;
  ErrorCode Delete() override;

 private:
  UniqueFileHandle item_;
};

}  // namespace foxbane::win32
