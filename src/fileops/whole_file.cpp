#include "fileops/whole_file.h"

#include <memory>
#include <span>

namespace foxbane {

// In pieces that grow with what was read, so that a file of any size is read
// without asking it for its size first.
ErrorCode ReadWholeFile(FileSystem& files, std::string_view path, std::string& bytes) {
  constexpr std::size_t kFirstPiece = 64 * 1024;
  bytes.clear();
  std::unique_ptr<ReadableFile> file;
  if (const ErrorCode e = files.OpenForRead(path, file)) return e;
  for (std::size_t piece = kFirstPiece;; piece = bytes.size()) {
    const std::size_t start = bytes.size();
    bytes.resize(start + piece);
    std::size_t read = 0;
    if (const ErrorCode e = file->Read(std::span(bytes).subspan(start), read)) {
      bytes.clear();
      return e;
    }
    bytes.resize(start + read);
    if (read < piece) return win_error::kSuccess;
  }
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
