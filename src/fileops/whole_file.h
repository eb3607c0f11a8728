#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ports/file_system.h"

namespace foxbane {

// Reads what is left of an opened file (anything with ReadableFile's Read)
// into `bytes`, in pieces that grow with what was read, so that a file of
// any size is read without asking it for its size first. `bytes` is left
// empty on failure.
template <typename Source>
ErrorCode ReadToEnd(Source& file, std::string& bytes) {
  constexpr std::size_t kFirstPiece = 64 * 1024;
  bytes.clear();
  for (std::size_t piece = kFirstPiece;; piece = bytes.size()) {
    const std::size_t start = bytes.size();
    bytes.resize(start + piece);
    std::size_t read = 0;
    if (const ErrorCode e = file.Read(std::span(bytes).subspan(start), read)) {
      bytes.clear();
      return e;
    }
    bytes.resize(start + read);
    if (read < piece) return win_error::kSuccess;
  }
}

// Reads the whole file into `bytes`; `bytes` is left empty on failure.
ErrorCode ReadWholeFile(FileSystem& files, std::string_view path, std::string& bytes);

// Creates the file new, writes `bytes` and flushes them to the disk. A file
// that could not be written whole is deleted again.
ErrorCode WriteNewFile(FileSystem& files, std::string_view path, std::string_view bytes);

// Appends whole lines (`lines` ends in "\n") to a file, as OpenForAppend
// opens it, and puts them on the disk before returning. After a last line
// that a stop cut short they start on a line of their own: glued to it, they
// would be skipped with it by every reader of whole lines.
ErrorCode AppendLines(FileSystem& files, std::string_view path, std::string_view lines);

}  // namespace foxbane
