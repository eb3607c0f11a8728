#include "fileops/whole_file.h"

#include <memory>
#include <span>

namespace foxbane {

ErrorCode ReadWholeFile(FileSystem& files, std::string_view path, std::string& bytes) {
  bytes.clear();
  std::unique_ptr<ReadableFile> file;
  if (const ErrorCode e = files.OpenForRead(path, file)) return e;
  return ReadToEnd(*file, bytes);
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

ErrorCode AppendLines(FileSystem& files, std::string_view path, std::string_view lines) {
  std::string before;
  ReadWholeFile(files, path, before);  // a file not there yet ends in no cut line
  std::string text = !before.empty() && before.back() != '\n' ? "\n" : "";
  text += lines;
  std::unique_ptr<AppendableFile> file;
  if (const ErrorCode e = files.OpenForAppend(path, file)) return e;
  if (const ErrorCode e = file->AppendText(text)) return e;
  return file->Flush();
}

}  // namespace foxbane
