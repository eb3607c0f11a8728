#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "ports/error_code.h"

namespace foxbane {

// File attribute bits, as Windows defines them.
namespace file_attribute {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
}  // namespace file_attribute

// A file opened for reading raw bytes, from its start on. Closed when
// destroyed.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads the bytes that follow those read before into `into`, filling it
  // unless the file ends first: `bytesRead` is below into.size() only at the
  // end, and 0 once there. After a failure, what `into` holds is not to be
  // relied on.
  virtual ErrorCode Read(std::span<char> into, std::size_t& bytesRead) = 0;
};

// A text file opened for appending. Closed when destroyed.
class AppendableFile {
 public:
  virtual ~AppendableFile() = default;
  // Appends UTF-8 text converted to the system's ANSI code page; a character
  // that code page cannot hold is written as "?".
  virtual ErrorCode AppendText(std::string_view utf8) = 0;
};

// The file operations the scan, the scan log and the cleanup rely on. Paths
// are full Windows paths in UTF-8 with "\" separators; names compare without
// regard to letter case, as on Windows. No operation reports anything itself.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file name part of `path` when a file (not a folder) exists there whose
  // attributes are all allowed: read-only and archive always, hidden only with
  // kHidden in `mask`, system only with kSystem. Empty when there is none.
  virtual std::string FindFile(std::string_view path, std::uint32_t mask) = 0;

  // Makes the file normal, so it can be appended to and deleted.
  virtual ErrorCode ResetAttributes(std::string_view path) = 0;

  // Opens for reading, sharing read, write and delete so that a running
  // executable can be read. Only a file on a local disk is read: a device
  // (a pipe, NUL) or a file on a network drive fails with 222.
  virtual ErrorCode OpenForRead(std::string_view path, std::unique_ptr<ReadableFile>& file) = 0;

  // Opens for appending, creating the file when it is missing.
  virtual ErrorCode OpenForAppend(std::string_view path, std::unique_ptr<AppendableFile>& file) = 0;

  // Deletes a file; fails with 5 on a read-only file and 32 on one in use.
  virtual ErrorCode RemoveFile(std::string_view path) = 0;

  // Removes a folder; fails with 145 unless it is empty.
  virtual ErrorCode RemoveFolder(std::string_view path) = 0;

  // Counts the folder's files that are normal, read-only or archive; hidden
  // and system files and subfolders are not counted.
  virtual ErrorCode CountListedFiles(std::string_view folder, std::uint32_t& count) = 0;
};

}  // namespace foxbane
