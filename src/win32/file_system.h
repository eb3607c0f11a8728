#pragma once

#include "ports/file_system.h"

namespace foxbane::win32 {

// The file operations over the Unicode file API. Errors are GetLastError's
// codes as they come.
class Win32FileSystem : public FileSystem {
 public:
  std::string FindFile(std::string_view path, std::uint32_t mask) override;
  ErrorCode ResetAttributes(std::string_view path) override;
  ErrorCode OpenForRead(std::string_view path, std::unique_ptr<ReadableFile>& file) override;
  ErrorCode OpenForAppend(std::string_view path, std::unique_ptr<AppendableFile>& file) override;
  ErrorCode RemoveFile(std::string_view path) override;
  ErrorCode RemoveFolder(std::string_view path) override;
  ErrorCode RemoveAtRestart(std::string_view path) override;
  ErrorCode CountListedFiles(std::string_view folder, std::uint32_t& count) override;
  ErrorCode CreateForWrite(std::string_view path, std::unique_ptr<WritableFile>& file) override;
  ErrorCode ReadAttributes(std::string_view path, std::uint32_t& attributes) override;
  ErrorCode FullPathName(std::string_view path, std::string& fullPath) override;
  ErrorCode CreateFolder(std::string_view path) override;
  ErrorCode CreateAdminOnlyFolder(std::string_view path) override;
  ErrorCode OpenItem(std::string_view path, ItemAccess access,
                     std::unique_ptr<FileItem>& item) override;
};

}  // namespace foxbane::win32
