#include "fileops/whole_file.h"

#include <memory>

namespace foxbane {

ErrorCode ReadWholeFile(FileSystem& files, std::string_view path, std::string& bytes) {
  bytes.clear();
  std::unique_ptr<ReadableFile> file;
  if (const ErrorCode e = files.OpenForRead(path, file)) return e;
  std::uint64_t size = 0;
  if (const ErrorCode e = file->Size(size)) return e;
  if (size > bytes.max_size()) return win_error::kNotEnoughMemory;
  bytes.resize(static_cast<std::size_t>(size));
  if (const ErrorCode e = file->ReadFromStart(bytes)) {
    bytes.clear();
    return e;
  }
  return win_error::kSuccess;
}

ErrorCode WriteNewFile(FileSystem& files, std::string_view path, std::string_view bytes) {
  ErrorCode result = win_error::kSuccess;
  {
    std::unique_ptr<WritableFile> file;
    if (const ErrorCode e = files.CreateForWrite(path, file)) return e;
    result = file->Write(bytes);
    if (result == win_error::kSuccess) result = file->Flush();
  }
  if (result != win_error::kSuccess) files.RemoveFile(path);
  return result;
}

}  // namespace foxbane
